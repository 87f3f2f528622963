// What waits to be sent to one client. Replies of the protocol always go
// in; spot lines only while the queue is below its limit, so a client that
// does not keep up loses spot lines instead of making the queue grow.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace skimby::practice {

class TOutputQueue {
  public:
    explicit TOutputQueue(std::size_t limit) : Limit(limit) {}

    void Push(std::string_view bytes) { Buffer.append(bytes); }
    // False (and nothing queued) when bytes would take the queue past its limit.
    bool PushIfRoom(std::string_view bytes);

    std::string_view Pending() const { return std::string_view(Buffer).substr(Start); }
    // Removes the first count pending bytes, once sent.
    void Consume(std::size_t count);

    std::size_t Size() const { return Buffer.size() - Start; }
    bool Empty() const { return Size() == 0; }
    bool Full() const { return Size() >= Limit; }

  private:
    std::string Buffer;
    std::size_t Start = 0;  // sent bytes are dropped in one go, not one send at a time
    std::size_t Limit;
};

}  // namespace skimby::practice
