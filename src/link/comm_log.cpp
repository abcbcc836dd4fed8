#include "link/comm_log.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "files/replace_file.h"

namespace qv82 {

namespace {

namespace fs = std::filesystem;

std::string io_error(const std::string& path, int error_number) {
  std::string text = "I/O error: cannot write " + path;
  if (error_number != 0) text += " (" + std::string(std::strerror(error_number)) + ")";
  return text;
}

}  // namespace

CommLog::CommLog(std::string workdir) : workdir_(std::move(workdir)) {}

CommLog::~CommLog() = default;

void CommLog::explain_again() {
  decoder_ = LogDecoder();
  for (std::size_t i = 0; i < lines_.size(); ++i) explanations_[i] = decoder_.explain(lines_[i]);
}

void CommLog::add_log_line(const std::string& line) {
  const bool drop = lines_.size() >= kMaxLines;
  if (drop) {
    lines_.pop_front();
    explanations_.pop_front();
  }
  lines_.push_back(line);
  explanations_.push_back(decoder_.explain(line));
  if (file_.is_open()) {
    errno = 0;
    file_ << line << '\n';
    file_.flush();
    if (!file_) {
      const int error_number = errno;
      file_.close();
      if (on_file_error) on_file_error(io_error(log_file_path(), error_number));
    }
  }
  if (on_line_added) on_line_added(drop);
}

void CommLog::clear() {
  lines_.clear();
  explanations_.clear();
  if (on_cleared) on_cleared();
}

std::string CommLog::log_file_path() const { return (fs::path(workdir_) / kLogFileName).string(); }

std::optional<std::string> CommLog::set_log_to_file(bool on) {
  if (file_.is_open()) file_.close();
  if (!on) return std::nullopt;
  errno = 0;
  file_.clear();
  file_.open(log_file_path(), std::ios::out | std::ios::trunc);
  if (!file_.is_open()) return io_error(log_file_path(), errno);
  return std::nullopt;
}

std::optional<std::string> CommLog::save_to_file(const std::string& path, std::string& error,
                                                 bool explained) const {
  const std::string target = with_txt_extension(path);
  std::string content;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    content += (explained ? explained_line(lines_[i], explanations_[i]) : lines_[i]) + '\n';
  }
  if (const auto failure = replace_file(target, content)) {
    error = "I/O error: cannot write " + target + " (" + *failure + ")";
    return std::nullopt;
  }
  error.clear();
  return target;
}

bool is_received_line(std::string_view line) { return line.substr(0, 2) == "<-"; }

std::string with_txt_extension(const std::string& path) {
  return fs::path(path).replace_extension(".txt").string();
}

}  // namespace qv82
