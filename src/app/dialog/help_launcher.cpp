#include "app/dialog/help_launcher.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <thread>
#include <utility>

namespace tinta {

std::string HelpDocumentToOpen(const std::string& document, const std::string& installedDocument) {
    const bool local = ::access(document.c_str(), F_OK) == 0;
    if (!local && !installedDocument.empty() && ::access(installedDocument.c_str(), F_OK) == 0) {
        return installedDocument;
    }
    return document;
}

HelpLauncher::HelpLauncher(std::string opener, std::string document, std::string installedDocument)
    : opener_(std::move(opener)),
      document_(std::move(document)),
      installedDocument_(std::move(installedDocument)) {}

int HelpLauncher::OpenHelp() {
    std::string document = HelpDocumentToOpen(document_, installedDocument_);
    if (::access(document.c_str(), F_OK) != 0) {
        return errno;
    }
    if (::access(document.c_str(), R_OK) != 0) {
        return errno;
    }
    char* argv[] = {opener_.data(), document.data(), nullptr};
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // A session of its own, so the viewer it starts does not end with the
    // terminal the dialog was started from.
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    pid_t child = 0;
    const int error = posix_spawnp(&child, opener_.c_str(), nullptr, &attributes, argv, ::environ);
    posix_spawnattr_destroy(&attributes);
    if (error != 0) {
        return error;
    }
    // Reap the opener whenever it ends so that it leaves no zombie; the
    // dialog does not wait for it.
    std::thread([child] { ::waitpid(child, nullptr, 0); }).detach();
    return 0;
}

}  // namespace tinta
