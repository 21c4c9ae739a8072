#pragma once
// A modal message box with one OK button; returns when the user dismisses it.

#include <string>

namespace platform {

enum class MessageIcon { Question, Exclamation };

class MessageBox {
public:
    virtual ~MessageBox() = default;
    virtual void show(const std::string& text, const std::string& title, MessageIcon icon) = 0;
};

}  // namespace platform
