#include "practice-server/OutputQueue.h"

namespace skimby::practice {

bool TOutputQueue::PushIfRoom(std::string_view bytes) {
    if (Size() + bytes.size() > Limit) return false;
    Push(bytes);
    return true;
}

void TOutputQueue::Consume(std::size_t count) {
    Start += count < Size() ? count : Size();
    if (Start == Buffer.size()) {
        Buffer.clear();
        Start = 0;
    } else if (Start > 4096 && Start > Buffer.size() / 2) {
        Buffer.erase(0, Start);
        Start = 0;
    }
}

}  // namespace skimby::practice
