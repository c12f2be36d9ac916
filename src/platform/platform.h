// What the run needs from the desktop: the wait window, a modal message, and the
// directory that holds the executable.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace sb {

class Platform {
 public:
  virtual ~Platform() = default;
  // Shows the window with the label "Attendere" and paints it once.
  virtual void ShowWaitWindow() = 0;
  // A modal message with one OK button: the " Errore n. " box, or a failure that ends the run.
  virtual void ShowMessage(const std::string& text) = 0;
  // Directory of the running executable, without a trailing separator.
  virtual std::string ExecutableDirectory() = 0;
  virtual char PathSeparator() const = 0;
};

// The backend of this host: a console one on POSIX, the native window on Windows.
std::unique_ptr<Platform> MakePlatform();

// Console backend: "Attendere" on standard output, messages on standard error.
class ConsolePlatform : public Platform {
 public:
  void ShowWaitWindow() override;
  void ShowMessage(const std::string& text) override;
  std::string ExecutableDirectory() override;
  char PathSeparator() const override;
};


}  // namespace sb
