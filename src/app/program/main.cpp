// tinta_dn_quor: the dialog program. Its only argument is --version. Filter
// modules come from ./tinta/, the install's module folder and the user's
// module folder; Help opens ./dn_quor.html, or the installed page.
#include <QApplication>
#include <clocale>
#include <cstring>
#include <iostream>

#include "app/dialog/help_launcher.h"
#include "app/dialog/main_dialog.h"
#include "app/dialog/qt_user_interaction.h"
#include "app/program/core_preview_port.h"
#include "app/program/real_services.h"
#include "filterhost/module_folders.h"
#include "install_layout.h"

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::cout << "tinta_dn_quor " << tinta::kProgramVersion << '\n';
        return 0;
    }
    std::setlocale(LC_ALL, "");
    QApplication application(argc, argv);

    const std::string programFolder = tinta::ExecutableFolder();
    tinta::QtUserInteraction user;
    tinta::DialogHostMessages messages(user);
    tinta::FilterHost host(messages, tinta::ModuleSearchFolders());
    tinta::HostFilterPort filters(host);
    tinta::QtFormatPort formats;
    tinta::CoreBatchPort batch(host, user);
    tinta::CorePreviewPort preview(host);
    const std::string installedHelp =
        tinta::BesideExecutable(programFolder, tinta::kInstalledDataFolder);
    tinta::HelpLauncher help(
        tinta::kHelpOpener, tinta::kHelpDocument,
        installedHelp.empty() ? std::string() : installedHelp + tinta::kHelpDocument);

    tinta::MainDialog dialog({filters, formats, batch, user, help, &preview});
    dialog.exec();
    return 0;
}
