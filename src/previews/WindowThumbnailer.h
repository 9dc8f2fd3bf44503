#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "foundation/Geometry.h"
#include "foundation/Published.h"
#include "foundation/Subscription.h"
#include "platform/WindowCapture.h"

namespace quayline {

class Scheduler;
class SerialQueue;
class SystemLog;

// Small live images of windows, keyed by window number, for the previews and the switcher. Each
// request names every window wanted now: the others' images go at once, new images arrive one by
// one as their captures finish, and a newer request cancels the older one. Main thread.
class WindowThumbnailer {
 public:
  struct Thumbnail {
    WindowImageRef image;
    Size size;  // points: the image's pixels divided by the scale it was taken for
    bool operator==(const Thumbnail&) const = default;
  };
  using Images = std::map<WindowNumber, Thumbnail>;

  static constexpr std::size_t maximumCapturesInFlight = 4;
  static constexpr std::string_view laneLabel = "quayline.window-thumbnailer";

  // Each lane runs one capture at a time, so the lanes (at most four are used) bound the
  // captures in flight; the first also lists the windows. The lanes must finish their tasks
  // before `capture` goes away.
  WindowThumbnailer(WindowCapture& capture, Scheduler& scheduler, std::vector<SerialQueue*> lanes,
                    SystemLog& log);
  WindowThumbnailer(const WindowThumbnailer&) = delete;
  WindowThumbnailer& operator=(const WindowThumbnailer&) = delete;

  const Images& images() const { return images_.get(); }
  Subscription observeImages(std::function<void(const Images&)> observer) {
    return images_.observe(std::move(observer));
  }
  std::optional<Thumbnail> image(std::optional<WindowNumber> window) const;

  // Makes the table follow `windows`, with images no larger than `fitting` points drawn at
  // `scale` pixels per point.
  void refresh(const std::vector<WindowNumber>& windows, Size fitting, double scale);
  // Stops the running request; images it has not delivered yet never arrive.
  void cancel();

  // The pixel size a window of `frame` points is captured at: its proportions kept, inside
  // `limit`, never more pixels per point than `scale`. Nothing for an empty frame.
  static std::optional<PixelSize> captureSize(const Rect& frame, Size limit, double scale);

 private:
  struct Job;
  void listed(const std::shared_ptr<Job>& job, WindowCapture::Content content);
  void start(const std::shared_ptr<Job>& job, std::size_t lane);
  void finished(const std::shared_ptr<Job>& job, std::size_t lane, WindowNumber window,
                WindowImageRef image);
  void forget(WindowNumber window);

  WindowCapture& capture_;
  Scheduler& scheduler_;
  std::vector<SerialQueue*> lanes_;
  SystemLog& log_;
  Published<Images> images_;
  std::shared_ptr<Job> task_;
  // Held weakly by the jobs' posted steps: nothing runs on a thumbnailer that is gone.
  std::shared_ptr<int> lifetime_ = std::make_shared<int>(0);
  Subscription destructions_;
};

}  // namespace quayline
