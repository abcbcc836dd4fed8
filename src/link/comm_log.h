#pragma once

#include <cstddef>
#include <deque>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "link/log_decoder.h"

namespace qv82 {

// The communication log behind the "Comm. log" page: the lines the link
// produced ("-> " sent, "<- " received), at most kMaxLines of them, and the
// optional copy into log.txt of the working directory.
class CommLog {
 public:
  // One line more than 2000: the oldest goes only once the list is over 2000.
  static constexpr std::size_t kMaxLines = 2001;
  static constexpr const char* kLogFileName = "log.txt";

  explicit CommLog(std::string workdir = ".");
  ~CommLog();
  CommLog(const CommLog&) = delete;
  CommLog& operator=(const CommLog&) = delete;

  void set_workdir(std::string workdir) { workdir_ = std::move(workdir); }
  const std::string& workdir() const { return workdir_; }

  // The link's hook: drops the oldest line when the list is full, appends
  // the line and copies it into the log file when one is open.
  void add_log_line(const std::string& line);

  const std::deque<std::string>& lines() const { return lines_; }
  // What each line means, kept beside it.
  const std::deque<std::string>& explanations() const { return explanations_; }
  std::size_t size() const { return lines_.size(); }
  // Every explanation again, in the current language. The lines are read
  // from the oldest one kept, as they came.
  void explain_again();
  void clear();

  // "Log to file": on creates log.txt empty and keeps it open, off closes it.
  // Returns the error to show when the file cannot be created.
  std::optional<std::string> set_log_to_file(bool on);
  bool logging_to_file() const { return file_.is_open(); }
  std::string log_file_path() const;

  // "Save to file": every line, in order, into the name with its extension
  // replaced by ".txt". The lines go to a temporary file first that then
  // replaces the target, so a failed save never leaves a half-written file.
  // Returns the path written, or the error to show in `error`.
  // With `explained`, each line is followed by its explanation.
  std::optional<std::string> save_to_file(const std::string& path, std::string& error,
                                          bool explained = false) const;

  // Observers for the window (one each): a line was added, after the oldest
  // one was dropped when `dropped_oldest`; the list was emptied; writing the
  // log file failed, the file is closed and the text says why.
  std::function<void(bool dropped_oldest)> on_line_added;
  std::function<void()> on_cleared;
  std::function<void(const std::string& error)> on_file_error;

 private:
  std::string workdir_;
  std::deque<std::string> lines_;
  std::deque<std::string> explanations_;
  LogDecoder decoder_;
  std::ofstream file_;
};

// Received lines are drawn in their own colour.
bool is_received_line(std::string_view line);

// The name with any extension replaced by ".txt" ("a/b.log" -> "a/b.txt").
std::string with_txt_extension(const std::string& path);

}  // namespace qv82
