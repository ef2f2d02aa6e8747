#include "library/folder_lister.h"

namespace tunevale {

namespace {

// Listings made and not yet asked for; the walk catches up with them quickly.
constexpr size_t kMaxReady = 64;

}  // namespace

TFolderLister::TFolderLister(unsigned threads, const TFileExtensions& extensions)
    : ThreadCount(threads), Extensions(extensions) {}

TFolderLister::~TFolderLister() {
  {
    std::lock_guard lock(Mutex);
    Stopping = true;
  }
  Wake.notify_all();
  for (std::thread& worker : Workers) worker.join();
}

void TFolderLister::QueueBelow(const TFolderListing& listing) {
  // In the listing's order, ahead of what was queued before.
  size_t at = 0;
  for (const TFolderEntry& entry : listing.Entries) {
    // Folders reached through a link are listed by the walk, once it has agreed to enter them.
    if (!entry.IsFolder || entry.ViaLink) continue;
    auto job = std::make_shared<TJob>();
    job->Listing.Prefix = listing.Prefix + listing.Names.substr(entry.NameOffset, entry.NameLength) + "/";
    if (Jobs.emplace(job->Listing.Prefix, job).second) Waiting.insert(Waiting.begin() + at++, std::move(job));
  }
  if (at > 0) Wake.notify_all();
}

void TFolderLister::Release(TJob& job) {
  // A finished listing no longer counts against the bound.
  job.Claimed = job.Taken = true;
  if (job.Done && !job.Retry) {
    --Ready;
    Wake.notify_one();
  }
}

void TFolderLister::Forget(const std::string& prefix) {
  std::lock_guard lock(Mutex);
  auto job = Jobs.lower_bound(prefix);
  while (job != Jobs.end() && job->first.starts_with(prefix)) {
    job->second->Forgotten = true;
    Release(*job->second);
    job = Jobs.erase(job);
  }
}

bool TFolderLister::Take(TFolderListing& listing) {
  std::unique_lock lock(Mutex);
  const auto found = Jobs.find(listing.Prefix);
  std::shared_ptr<TJob> job;
  if (found != Jobs.end()) {
    job = std::move(found->second);
    Jobs.erase(found);
    const bool started = job->Claimed;
    Release(*job);
    if (!started) job.reset();  // no worker got to it: waiting would only idle this thread
  }
  if (job) {
    Done.wait(lock, [&] { return job->Done; });
    if (!job->Retry) {
      listing = std::move(job->Listing);
      return job->Listed;
    }
  }
  lock.unlock();
  const bool listed = ListFolder(Extensions, listing);
  lock.lock();
  if (listed) QueueBelow(listing);
  if (Workers.empty() && !Waiting.empty()) {
    Workers.reserve(ThreadCount);
    for (unsigned i = 0; i < ThreadCount; ++i) Workers.emplace_back([this] { Work(); });
  }
  return listed;
}

void TFolderLister::Work() {
  std::unique_lock lock(Mutex);
  for (;;) {
    Wake.wait(lock, [&] { return Stopping || (Ready < kMaxReady && !Waiting.empty()); });
    if (Stopping) return;
    const std::shared_ptr<TJob> job = std::move(Waiting.front());
    Waiting.pop_front();
    if (job->Claimed) continue;
    job->Claimed = true;
    lock.unlock();
    // Nothing else touches the listing until it is marked done.
    bool listed = false, retry = false;
    try {
      listed = ListFolder(Extensions, job->Listing);
    } catch (...) {
      retry = true;  // the walk lists it again itself, where a failure can be seen
    }
    lock.lock();
    if (listed && !job->Forgotten) QueueBelow(job->Listing);
    job->Listed = listed;
    job->Retry = retry;
    job->Done = true;
    if (!job->Taken && !retry) ++Ready;
    Done.notify_all();
  }
}

}  // namespace tunevale
