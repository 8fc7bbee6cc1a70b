#include "platform/wmi_deadline.h"

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/runtime_error.h"

namespace {

// What the caller and the worker share. The worker holds it too, so that a worker still
// stuck in a query when the caller is gone touches nothing that was released.
struct Shared {
  explicit Shared(std::shared_ptr<Wmi> w) : inner(std::move(w)) {}
  std::shared_ptr<Wmi> inner;
  std::mutex mutex;
  std::condition_variable changed;
  bool started = false;      // the worker exists
  bool busy = false;         // a query is posted and not yet answered
  bool closing = false;      // the caller is gone: the worker ends when idle
  std::uint64_t posted = 0;  // number of the last query posted
  std::uint64_t answered = 0;
  std::string className;
  std::vector<WmiInstance> result;
  std::exception_ptr failure;
};

void Serve(const std::shared_ptr<Shared>& shared) {
  std::unique_lock<std::mutex> lock(shared->mutex);
  for (;;) {
    shared->changed.wait(lock,
                         [&] { return shared->closing || shared->answered < shared->posted; });
    if (shared->answered == shared->posted) break;  // closing and idle
    const std::string className = shared->className;
    lock.unlock();
    std::vector<WmiInstance> result;
    std::exception_ptr failure;
    try {
      result = shared->inner->InstancesOf(className);
    } catch (...) {
      failure = std::current_exception();
    }
    lock.lock();
    shared->result = std::move(result);
    shared->failure = failure;
    shared->answered = shared->posted;
    shared->busy = false;
    shared->changed.notify_all();
  }
  // The connection was made on this thread; it is released here too.
  shared->inner.reset();
}

std::string Seconds(std::chrono::milliseconds ms) {
  const auto count = ms.count();
  return count % 1000 == 0 ? std::to_string(count / 1000) + " seconds"
                           : std::to_string(count) + " ms";
}

class WmiWithDeadline final : public Wmi {
 public:
  WmiWithDeadline(std::shared_ptr<Wmi> inner, std::chrono::milliseconds deadline)
      : shared_(std::make_shared<Shared>(std::move(inner))), deadline_(deadline) {}
  ~WmiWithDeadline() override {
    const std::lock_guard<std::mutex> lock(shared_->mutex);
    shared_->closing = true;
    shared_->changed.notify_all();
  }
  WmiWithDeadline(const WmiWithDeadline&) = delete;
  WmiWithDeadline& operator=(const WmiWithDeadline&) = delete;

  std::vector<WmiInstance> InstancesOf(const std::string& className) override {
    std::unique_lock<std::mutex> lock(shared_->mutex);
    if (shared_->busy)
      throw RuntimeError(
          kWmiTimeoutNumber,
          "WMI is still held by a query that did not end within " + Seconds(deadline_));
    if (!shared_->started) {
      std::thread(Serve, shared_).detach();  // one that cannot be made throws: no query
      shared_->started = true;
    }
    shared_->className = className;
    shared_->busy = true;
    const std::uint64_t ticket = ++shared_->posted;
    shared_->changed.notify_all();
    if (!shared_->changed.wait_for(lock, deadline_, [&] { return shared_->answered >= ticket; }))
      throw RuntimeError(kWmiTimeoutNumber, "WMI did not answer within " + Seconds(deadline_) +
                                                ", the query was given up");
    if (shared_->failure) std::rethrow_exception(std::exchange(shared_->failure, nullptr));
    return std::move(shared_->result);
  }

 private:
  std::shared_ptr<Shared> shared_;
  std::chrono::milliseconds deadline_;
};

}  // namespace

std::unique_ptr<Wmi> WithDeadline(std::shared_ptr<Wmi> inner, std::chrono::milliseconds deadline) {
  return std::make_unique<WmiWithDeadline>(std::move(inner), deadline);
}
