#pragma once
// How core routines talk to the user: message boxes and the "let pending events run" hook.
// The GUI shows dialogs, the CLI writes to stderr, tests record the calls.

#include <iostream>
#include <string>
#include <vector>

namespace app {

enum class MessageIcon { None, Information, Warning, Error };

class UserInterface {
 public:
  virtual ~UserInterface() = default;
  // A box with an OK button; lines of the text are separated by "\n".
  virtual void message(MessageIcon icon, const std::string& text) = 0;
  // A yes/no question; true for yes.
  virtual bool askYesNo(const std::string& text) = 0;
  // Lets pending front-end events run (timer, cancel button) during long work.
  virtual void processEvents() {}
  // True when processEvents serves something: only then is slow work worth moving off the
  // calling thread so that events can run meanwhile.
  virtual bool hasEvents() const { return false; }
};

// Prints boxes to stderr, answers questions with a fixed answer; for the CLI and headless use.
class ConsoleUserInterface : public UserInterface {
 public:
  explicit ConsoleUserInterface(std::ostream& err = std::cerr, bool answer = false)
      : err_(err), answer_(answer) {}
  void message(MessageIcon icon, const std::string& text) override;
  bool askYesNo(const std::string& text) override;

 private:
  std::ostream& err_;
  bool answer_;
};

// Records every box; for tests.
class RecordingUserInterface : public UserInterface {
 public:
  struct Box {
    MessageIcon icon;
    std::string text;
  };
  void message(MessageIcon icon, const std::string& text) override {
    boxes.push_back({icon, text});
  }
  bool askYesNo(const std::string& text) override {
    boxes.push_back({MessageIcon::None, text});
    return answer;
  }
  void processEvents() override { ++eventPumps; }
  bool hasEvents() const override { return events; }

  std::vector<Box> boxes;
  bool events = true;  // false: a front end without events of its own, as the console's
  bool answer = true;
  int eventPumps = 0;
};

}  // namespace app
