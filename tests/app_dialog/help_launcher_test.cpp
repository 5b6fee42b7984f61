// The real help launcher: the error numbers it reports for the cases a user
// meets.
#include "app/dialog/help_launcher.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>

namespace tinta {
namespace {

class HelpLauncherTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(folder_.isValid()); }
    std::string Make(const char* name, const QByteArray& content, QFile::Permissions permissions) {
        const QString path = folder_.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        file.setPermissions(permissions);
        return path.toStdString();
    }
    QTemporaryDir folder_;
};

TEST_F(HelpLauncherTest, StartedOpenerIsSuccessAndEachFailureGivesItsErrorNumber) {
    EXPECT_EQ(HelpLauncher("true", folder_.filePath("dn_quor.html").toStdString()).OpenHelp(),
              ENOENT)
        << "missing document";
    const std::string document = Make("dn_quor.html", "<p>help</p>", QFile::ReadOwner);
    EXPECT_EQ(HelpLauncher("true", document).OpenHelp(), 0);
    EXPECT_EQ(HelpLauncher(folder_.filePath("no-such-opener").toStdString(), document).OpenHelp(),
              ENOENT);
    const std::string notExecutable = Make("opener", "#!/bin/sh\n", QFile::ReadOwner);
    EXPECT_EQ(HelpLauncher(notExecutable, document).OpenHelp(), EACCES);
    const std::string noFormat = Make("garbage", QByteArray(64, '\x01'),
                                      QFile::ReadOwner | QFile::ExeOwner | QFile::WriteOwner);
    EXPECT_EQ(HelpLauncher(noFormat, document).OpenHelp(), ENOEXEC);
}

TEST_F(HelpLauncherTest, PageOfTheCurrentFolderComesFirstAndTheInstalledOneStandsIn) {
    const QString current = folder_.filePath("current");
    ASSERT_TRUE(QDir().mkpath(current));
    const std::string local = (current + "/dn_quor.html").toStdString();
    const std::string installed = Make("installed.html", "<p>help</p>", QFile::ReadOwner);

    EXPECT_EQ(HelpDocumentToOpen(local, installed), installed);
    EXPECT_EQ(HelpDocumentToOpen(local, folder_.filePath("none.html").toStdString()), local)
        << "neither exists: the current folder's page, reported missing";
    EXPECT_EQ(HelpDocumentToOpen(local, ""), local);
    EXPECT_EQ(HelpLauncher("true", local, installed).OpenHelp(), 0);

    Make("current/dn_quor.html", "<p>local</p>", QFile::ReadOwner);
    EXPECT_EQ(HelpDocumentToOpen(local, installed), local);
}

}  // namespace
}  // namespace tinta
