#include "previews/WindowThumbnailer.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "foundation/Scheduler.h"
#include "foundation/SerialQueue.h"
#include "platform/SystemLog.h"

namespace quayline {

// One request's captures. Touched on the main thread only; the lanes see copies of what they
// need.
struct WindowThumbnailer::Job {
  std::set<WindowNumber> wanted;
  Size limit;
  double scale = 1;
  bool cancelled = false;
  std::vector<ShareableWindow> windows;  // to capture, in the service's order
  std::size_t next = 0;                  // the first window not yet started
  // Destroyed since the request: an image still on its way shows a window that is gone, and
  // its number may already belong to another window.
  std::set<WindowNumber> destroyed;
};

WindowThumbnailer::WindowThumbnailer(WindowCapture& capture, Scheduler& scheduler,
                                     std::vector<SerialQueue*> lanes, SystemLog& log)
    : capture_(capture), scheduler_(scheduler), lanes_(std::move(lanes)), log_(log) {
  if (lanes_.size() > maximumCapturesInFlight) {
    lanes_.resize(maximumCapturesInFlight);
  }
  destructions_ = capture_.observeDestruction([this](WindowNumber window) { forget(window); });
}

std::optional<WindowThumbnailer::Thumbnail> WindowThumbnailer::image(
    std::optional<WindowNumber> window) const {
  if (!window) {
    return std::nullopt;
  }
  const auto found = images().find(*window);
  return found == images().end() ? std::nullopt : std::optional<Thumbnail>(found->second);
}

std::optional<PixelSize> WindowThumbnailer::captureSize(const Rect& frame, Size limit,
                                                        double scale) {
  const double width = frame.width();
  const double height = frame.height();
  if (!(width > 0) || !(height > 0) || !std::isfinite(width) || !std::isfinite(height)) {
    return std::nullopt;
  }
  const double factor = std::min({scale, limit.width / width, limit.height / height});
  if (!std::isfinite(factor) || factor < 0) {
    return std::nullopt;
  }
  const auto pixels = [factor](double points) {
    return static_cast<int>(std::max(1.0, std::round(points * factor)));
  };
  return PixelSize{pixels(width), pixels(height)};
}

void WindowThumbnailer::cancel() {
  if (task_) {
    task_->cancelled = true;
    task_.reset();
  }
}

void WindowThumbnailer::refresh(const std::vector<WindowNumber>& windows, Size fitting,
                                double scale) {
  cancel();
  const std::set<WindowNumber> wanted(windows.begin(), windows.end());
  Images kept;
  for (const auto& [window, thumbnail] : images()) {
    if (wanted.contains(window)) {
      kept.emplace(window, thumbnail);
    }
  }
  images_.set(std::move(kept));
  if (wanted.empty() || lanes_.empty() || !capture_.hasPermission()) {
    return;
  }
  if (!(scale > 0) || !std::isfinite(scale)) {
    scale = 1;  // a display that reports no usable scale is drawn at one pixel per point
  }
  auto job = std::make_shared<Job>();
  job->wanted = wanted;
  job->limit = Size{fitting.width * scale, fitting.height * scale};
  job->scale = scale;
  task_ = job;
  lanes_.front()->async([this, weak = std::weak_ptr<int>(lifetime_), job] {
    if (weak.expired()) {
      return;
    }
    auto content = capture_.shareableWindows();
    scheduler_.post([this, weak, job, content = std::move(content)]() mutable {
      if (weak.lock()) {
        listed(job, std::move(content));
      }
    });
  });
}

void WindowThumbnailer::listed(const std::shared_ptr<Job>& job, WindowCapture::Content content) {
  if (const auto* failure = std::get_if<std::string>(&content)) {
    log_.log("thumbnails", "WindowThumbnailer: shareable content unavailable: " + *failure);
    return;
  }
  if (job->cancelled) {
    return;
  }
  for (const ShareableWindow& window : std::get<std::vector<ShareableWindow>>(content)) {
    if (job->wanted.contains(window.number)) {
      job->windows.push_back(window);
    }
  }
  for (std::size_t lane = 0; lane < lanes_.size() && job->next < job->windows.size(); ++lane) {
    start(job, lane);
  }
}

void WindowThumbnailer::start(const std::shared_ptr<Job>& job, std::size_t lane) {
  const ShareableWindow window = job->windows[job->next++];
  const std::optional<PixelSize> size = captureSize(window.frame, job->limit, job->scale);
  lanes_[lane]->async([this, weak = std::weak_ptr<int>(lifetime_), job, lane, window, size] {
    if (weak.expired()) {
      return;
    }
    WindowImageRef image = size ? capture_.capture(window.number, *size) : nullptr;
    scheduler_.post([this, weak, job, lane, number = window.number, image = std::move(image)] {
      if (weak.lock()) {
        finished(job, lane, number, image);
      }
    });
  });
}

void WindowThumbnailer::finished(const std::shared_ptr<Job>& job, std::size_t lane,
                                 WindowNumber window, WindowImageRef image) {
  if (job->cancelled) {
    return;
  }
  if (image && !job->destroyed.contains(window) && image->width > 0 && image->height > 0) {
    Images next = images();
    next.insert_or_assign(
        window, Thumbnail{image, Size{image->width / job->scale, image->height / job->scale}});
    images_.set(std::move(next));
  }
  if (job->next < job->windows.size()) {
    start(job, lane);
  }
}

void WindowThumbnailer::forget(WindowNumber window) {
  if (task_) {
    task_->destroyed.insert(window);
  }
  if (!images().contains(window)) {
    return;
  }
  Images next = images();
  next.erase(window);
  images_.set(std::move(next));
}

}  // namespace quayline
