// The system timer of a timer pool: a utility timer made when the pool
// first needs it.
#include "foundation/qclclass.h"
#include "platform/UtilityWindow.h"

namespace treskel {

namespace {

class WindowTickSource : public TQclTickSource {
public:
    explicit WindowTickSource(TQclTimerPool* pool)
        : timer_([pool] {
              try {
                  pool->TimerMessage();
              } catch (...) {
                  // Nothing may leave a window procedure; the pool reports its own.
              }
          },
                 pool) {}
    bool Arm(unsigned periodMs) override { return timer_.Start(periodMs); }
    void Disarm() override { timer_.Stop(); }

private:
    UtilityTimer timer_;
};

}  // namespace

std::unique_ptr<TQclTickSource> QclMakeSystemTickSource(TQclTimerPool* pool) {
    return std::make_unique<WindowTickSource>(pool);
}

}  // namespace treskel
