#include "library/tag_prefetcher.h"

#include <utility>

namespace tunevale {

TTagPrefetcher::TTagPrefetcher(unsigned threads, TReader reader)
    : ThreadCount(threads), Reader(std::move(reader)) {}

TTagPrefetcher::~TTagPrefetcher() {
  {
    std::lock_guard lock(Mutex);
    Stopping = true;
  }
  Wake.notify_all();
  for (std::thread& worker : Workers) worker.join();
}

void TTagPrefetcher::Start() {
  Workers.reserve(ThreadCount);
  for (unsigned i = 0; i < ThreadCount; ++i) Workers.emplace_back([this] { Work(); });
}

void TTagPrefetcher::Queue(size_t ticket, const std::string& path) {
  auto job = std::make_shared<TJob>();
  job->Ticket = ticket;
  job->Path = path;
  {
    std::lock_guard lock(Mutex);
    Jobs.push_back(job);
    Waiting.push_back(std::move(job));
  }
  if (Workers.empty()) Start();
  Wake.notify_one();
}

bool TTagPrefetcher::Take(size_t ticket, TMetaData& meta, uint8_t& result) {
  std::unique_lock lock(Mutex);
  // Waiting is a tail of Jobs' order, so what is passed over unstarted is at its front.
  while (!Jobs.empty() && Jobs.front()->Ticket < ticket) {
    if (!Waiting.empty() && Waiting.front() == Jobs.front()) Waiting.pop_front();
    Jobs.pop_front();
  }
  if (Jobs.empty() || Jobs.front()->Ticket != ticket) return false;
  const std::shared_ptr<TJob> job = std::move(Jobs.front());
  Jobs.pop_front();
  if (!job->Started) {
    // No worker got to it: waiting would only idle this thread.
    Waiting.pop_front();
    lock.unlock();
    result = Reader(job->Path, meta);
    return true;
  }
  Done.wait(lock, [&] { return job->Done; });
  meta = std::move(job->Meta);
  result = job->Result;
  return true;
}

void TTagPrefetcher::Work() {
  std::unique_lock lock(Mutex);
  for (;;) {
    Wake.wait(lock, [&] { return Stopping || !Waiting.empty(); });
    if (Stopping) return;
    const std::shared_ptr<TJob> job = std::move(Waiting.front());
    Waiting.pop_front();
    job->Started = true;
    lock.unlock();
    TMetaData meta;
    uint8_t result = 0;
    try {
      result = Reader(job->Path, meta);
    } catch (...) {
      result = kReadAgain;  // an exception leaves this thread only on the taker's
    }
    lock.lock();
    job->Meta = std::move(meta);
    job->Result = result;
    job->Done = true;
    Done.notify_all();
  }
}

}  // namespace tunevale
