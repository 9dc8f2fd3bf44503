#include "dock/DroppedFiles.h"

namespace quayline {

DroppedFiles::DroppedFiles(const std::vector<Url>& offered, FileOperations& files) : files_(files) {
  for (const Url& url : offered) {
    if (url.isFileURL()) {
      urls_.push_back(url);
    }
  }
  facts_.resize(urls_.size());
}

const FileFacts& DroppedFiles::facts(std::size_t index) const {
  std::optional<FileFacts>& known = facts_.at(index);
  if (!known) {
    known = files_.facts(urls_[index].path());
  }
  return *known;
}

bool DroppedFiles::allApplications() const {
  if (!allApplications_) {
    bool all = true;
    for (std::size_t i = 0; i < urls_.size() && all; ++i) {
      all = facts(i).isApplication;
    }
    allApplications_ = all;
  }
  return *allApplications_;
}

bool DroppedFiles::allDirectories() const {
  if (!allDirectories_) {
    bool all = true;
    for (std::size_t i = 0; i < urls_.size() && all; ++i) {
      all = facts(i).isDirectory.value_or(false);
    }
    allDirectories_ = all;
  }
  return *allDirectories_;
}

}  // namespace quayline
