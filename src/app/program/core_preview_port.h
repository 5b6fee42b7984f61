// The dialog's preview over the batch core: the entry goes through the steps
// of a run with the host's selected module, and the pictures come back as
// QImages.
#pragma once

#include <QImage>

#include "app/dialog/dialog_services.h"
#include "filterhost/filter_host.h"
#include "workimage/work_image.h"

namespace tinta {

// The work image as a 32-bit picture with straight (not premultiplied) alpha.
QImage ToQImage(const WorkImage& image);

class CorePreviewPort : public PreviewPort {
  public:
    explicit CorePreviewPort(FilterHost& host) : host_(host) {}
    PreviewContent MakePreview(const QString& folder, const QString& entry, bool edging) override;

  private:
    FilterHost& host_;
};

}  // namespace tinta
