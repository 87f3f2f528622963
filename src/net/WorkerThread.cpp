#include "net/WorkerThread.h"

namespace skimby {

TWorkerThread::~TWorkerThread() {
    StopRequested = true;
    Join();
}

void TWorkerThread::Start() {
    FThread = std::thread([this] { Execute(); });
}

void TWorkerThread::Join() {
    if (FThread.joinable() && FThread.get_id() != std::this_thread::get_id()) FThread.join();
}

void TWorkerThread::Execute() {
    while (!StopRequested) {
        try {
            Step();
        } catch (...) {
            if (!StopRequested.exchange(true)) {
                try {
                    Failed();
                } catch (...) {
                }
            }
            break;
        }
    }
    FEnded = true;
}

}  // namespace skimby
