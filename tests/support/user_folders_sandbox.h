// Points the user's configuration folder and the current folder at fresh
// temporary folders for the life of the object, then puts both back.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QTemporaryDir>

namespace tinta::testing {

class UserFoldersSandbox {
  public:
    UserFoldersSandbox()
        : oldConfig_(qgetenv("XDG_CONFIG_HOME")), oldCurrent_(QDir::currentPath()) {
        qputenv("XDG_CONFIG_HOME", config_.path().toUtf8());
        QDir::setCurrent(work_.path());
    }
    ~UserFoldersSandbox() {
        QDir::setCurrent(oldCurrent_);
        qputenv("XDG_CONFIG_HOME", oldConfig_);
    }
    UserFoldersSandbox(const UserFoldersSandbox&) = delete;
    UserFoldersSandbox& operator=(const UserFoldersSandbox&) = delete;

    bool isValid() const { return config_.isValid() && work_.isValid(); }
    QString ConfigPath() const { return config_.path(); }

  private:
    QTemporaryDir config_;
    QTemporaryDir work_;
    QByteArray oldConfig_;
    QString oldCurrent_;
};

}  // namespace tinta::testing
