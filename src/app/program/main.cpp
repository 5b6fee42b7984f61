// tinta_dn_quor: the dialog program. It takes no arguments; it works on the
// current folder (./tinta/ for the filter modules, ./dn_quor.html for Help).
#include <QApplication>
#include <clocale>

#include "app/dialog/help_launcher.h"
#include "app/dialog/main_dialog.h"
#include "app/dialog/qt_user_interaction.h"
#include "app/program/real_services.h"

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    QApplication application(argc, argv);

    tinta::QtUserInteraction user;
    tinta::DialogHostMessages messages(user);
    tinta::FilterHost host(messages);
    tinta::HostFilterPort filters(host);
    tinta::QtFormatPort formats;
    tinta::CoreBatchPort batch(host, user);
    tinta::HelpLauncher help;

    tinta::MainDialog dialog({filters, formats, batch, user, help});
    dialog.exec();
    return 0;
}
