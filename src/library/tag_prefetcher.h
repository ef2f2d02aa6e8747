// Reads the tags of files on worker threads ahead of the crawler, which takes
// the results one by one in the order it queued them. The workers touch nothing
// but the files and their own records; the library stays on the crawler's thread.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "media/metadata.h"
#include "media/read_tags.h"

namespace tunevale {

class TTagPrefetcher {
 public:
  // Must be safe to call from several threads at once.
  using TReader = std::function<uint8_t(const std::string& path, TMetaData& meta)>;
  // The result of a read that threw on a worker; the crawler reads such files
  // again itself, as it does those the reader could not open.
  static constexpr uint8_t kReadAgain = ReadResultNotOpened;

  // The workers start with the first queued read.
  TTagPrefetcher(unsigned threads, TReader reader);
  // Stops the workers after the reads under way and joins them; nothing else is read.
  ~TTagPrefetcher();
  TTagPrefetcher(const TTagPrefetcher&) = delete;
  TTagPrefetcher& operator=(const TTagPrefetcher&) = delete;

  // Queues a read of `path` under `ticket`; tickets rise with every call.
  void Queue(size_t ticket, const std::string& path);
  // The result queued under `ticket`, waiting for it or reading it here when no
  // worker has started it. Reads queued under smaller tickets are dropped.
  // False when nothing was queued under `ticket`.
  bool Take(size_t ticket, TMetaData& meta, uint8_t& result);

 private:
  struct TJob {
    size_t Ticket = 0;
    std::string Path;
    TMetaData Meta;
    uint8_t Result = 0;
    bool Started = false;
    bool Done = false;
  };

  void Work();
  void Start();

  const unsigned ThreadCount;
  const TReader Reader;
  std::mutex Mutex;
  std::condition_variable Wake;               // a read was queued, or stop
  std::condition_variable Done;               // a read finished
  std::deque<std::shared_ptr<TJob>> Jobs;     // in ticket order, until taken
  std::deque<std::shared_ptr<TJob>> Waiting;  // not started yet, in ticket order
  bool Stopping = false;
  std::vector<std::thread> Workers;
};

}  // namespace tunevale
