#pragma once
// The configuration dialog's fields as the rest of the program sees them: the live
// addresses (Text1..Text4), the launcher path (Text5) and the refresh flags
// (Check1..Check4). Reading or writing a field never shows the dialog.

#include <string>

class DialogFields {
public:
    virtual ~DialogFields() = default;

    // n is 1..5.
    virtual std::string text(int n) const = 0;
    virtual void set_text(int n, const std::string& value) = 0;

    // n is 1..4; values are 0 (unchecked), 1 (checked) and 2 (grey).
    virtual int check(int n) const = 0;
    // Refuses (returns false, changes nothing) a value other than 0, 1 or 2.
    virtual bool set_check(int n, int value) = 0;
};
