#include "library/library_loader.h"

#include <sys/resource.h>
#include <unistd.h>

#include <atomic>

#include "library/library_database.h"

namespace tunevale {

namespace {
constexpr int kWorkerNice = 10;
}  // namespace

struct TLibraryLoader::TJob {
  explicit TJob(const TLibrary& library)
      : Settings(library.Settings()), Built(Settings, library.ProgramFolder()) {}
  // The worker's own copy: the settings dialog may change the record meanwhile.
  TLibrarySettings Settings;
  TLibrary Built;
  std::atomic<bool> Cancel{false};
  bool Wanted = true;  // main thread only: cleared when the loader goes first
  std::function<void()> Loaded;
};

TLibraryLoader::TLibraryLoader(TRuntime& runtime, TLibrary& library) : Runtime(runtime), Library(library) {}

TLibraryLoader::~TLibraryLoader() {
  if (Job) {
    Job->Wanted = false;
    Job->Cancel = true;
    Library.Loading = false;
  }
  if (Worker.joinable()) Worker.join();
}

void TLibraryLoader::Start(const std::string& fileName, int settingsBuild, std::function<void()> loaded) {
  if (Job) return;
  Job = std::make_shared<TJob>(Library);
  Job->Loaded = std::move(loaded);
  Library.Loading = true;
  Worker = std::thread([this, job = Job, fileName, settingsBuild] {
    // Below the main thread: where the two share a core, the window goes first.
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), kWorkerNice);
    TLoadOptions options;
    options.SettingsBuild = settingsBuild;
    options.Cancel = &job->Cancel;
    LoadLibrary(job->Built, fileName, options);
    // `this` is only touched on the main thread, and only while the loader lives.
    Runtime.Post([this, job] {
      if (job->Wanted) HandOver(*job);
    });
  });
}

void TLibraryLoader::HandOver(TJob& job) {
  Worker.join();
  Job.reset();
  Library.Loading = false;
  Library.TakeLoaded(job.Built);
  if (job.Loaded) job.Loaded();
}

void TLibraryLoader::Wait() {
  while (Job) Runtime.WaitForMessages();
}

}  // namespace tunevale
