#pragma once
// Comparison of place names as people type them: case, accents and symbols (spaces,
// punctuation, currency signs) are ignored, so "washington" finds "Washington", "Sao Paulo"
// finds "São Paulo" and "St-Denis" finds "St. Denis". An ICU collator of the chosen locale
// at primary strength with variable characters shifted away does the work.

#include <memory>
#include <string>
#include <string_view>

struct UCollator;  // ICU's C collator, kept out of this header

namespace tellurim {

class NameCollator {
public:
    // `locale` an ICU locale id; "" the root collation (locale-neutral, what tests use).
    explicit NameCollator(const std::string& locale = "");
    // The collator of the user's locale (ICU's default locale, from LANG / LC_ALL).
    static NameCollator for_user();
    ~NameCollator();
    NameCollator(NameCollator&&) noexcept;
    NameCollator& operator=(NameCollator&&) noexcept;

    // False when ICU could not open any collator; equal() then compares code units exactly.
    bool is_open() const { return m_collator != nullptr; }

    bool equal(std::u16string_view a, std::u16string_view b) const;
    bool equal_utf8(std::string_view a, std::string_view b) const;
    // A byte key that is equal for two names exactly when equal() says so; for grouping names.
    std::string sort_key(std::u16string_view name) const;

private:
    ::UCollator* m_collator = nullptr;
};

}  // namespace tellurim
