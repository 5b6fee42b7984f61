// Opens the help document with the desktop's handler for it (xdg-open),
// started detached so the dialog stays. The document of the current folder
// comes first; the installed one stands in when there is none.
#pragma once

#include <string>

#include "app/dialog/dialog_services.h"

namespace tinta {

inline constexpr char kHelpDocument[] = "dn_quor.html";
inline constexpr char kHelpOpener[] = "xdg-open";

// document when it exists, else installedDocument when that is given and
// exists, else document (whose absence OpenHelp then reports).
std::string HelpDocumentToOpen(const std::string& document, const std::string& installedDocument);

class HelpLauncher : public HelpPort {
  public:
    explicit HelpLauncher(std::string opener = kHelpOpener, std::string document = kHelpDocument,
                          std::string installedDocument = {});

    // 0 once the opener runs; ENOENT when the document or the opener is
    // missing, EACCES when the document cannot be read, else the error of the
    // start.
    int OpenHelp() override;

  private:
    std::string opener_;
    std::string document_;
    std::string installedDocument_;
};

}  // namespace tinta
