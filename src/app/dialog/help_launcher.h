// Opens the help document of the current folder with the desktop's handler
// for it (xdg-open), started detached so the dialog stays.
#pragma once

#include <string>

#include "app/dialog/dialog_services.h"

namespace tinta {

inline constexpr char kHelpDocument[] = "dn_quor.html";
inline constexpr char kHelpOpener[] = "xdg-open";

class HelpLauncher : public HelpPort {
  public:
    explicit HelpLauncher(std::string opener = kHelpOpener, std::string document = kHelpDocument);

    // 0 once the opener runs; ENOENT when the document or the opener is
    // missing, EACCES when the document cannot be read, else the error of the
    // start.
    int OpenHelp() override;

  private:
    std::string opener_;
    std::string document_;
};

}  // namespace tinta
