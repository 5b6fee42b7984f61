// The dialog's ports over the real parts of the program: the filter host of
// ./tinta/, the batch core, Qt's image formats.
#pragma once

#include <atomic>

#include "app/dialog/dialog_services.h"
#include "filterhost/filter_host.h"
#include "filterhost/host_messages.h"

namespace tinta {

// The host's messages, shown as message boxes over the active window.
class DialogHostMessages : public HostMessages {
  public:
    explicit DialogHostMessages(UserInteraction& user) : user_(user) {}
    void Show(const std::string& text) override;

  private:
    UserInteraction& user_;
};

class HostFilterPort : public FilterPort {
  public:
    explicit HostFilterPort(FilterHost& host) : host_(host) {}
    QStringList DiscoverFilters() override;
    void SelectFilter(int index) override;
    bool OpenFilterSettings() override;

  private:
    FilterHost& host_;
};

class QtFormatPort : public FormatPort {
  public:
    OfferedFormats ListFormats() override;
};

class CoreBatchPort : public BatchPort {
  public:
    CoreBatchPort(FilterHost& host, UserInteraction& user) : host_(host), user_(user) {}
    InputListing ListInputFiles(const QString& folder, const QString& mask) override;
    int CountExistingOutputs(const BatchJob& job) override;
    BatchOutcome RunBatch(const BatchJob& job,
                          const std::function<void(int filesDone)>& progress) override;
    void StopBatch() override;

    // Worker threads of a run; the default uses every processor we may.
    void SetJobs(int jobs) { jobs_ = jobs; }

  private:
    FilterHost& host_;
    UserInteraction& user_;
    int jobs_ = 0;  // 0: the default
    std::atomic<bool> stop_{false};
};

}  // namespace tinta
