#include "files/name_compare.h"

#include <unicode/ucol.h>
#include <unicode/uloc.h>

#include "base/text.h"

namespace tellurim {

NameCollator::NameCollator(const std::string& locale) {
    UErrorCode status = U_ZERO_ERROR;
    UCollator* c = ucol_open(locale.c_str(), &status);
    if (U_FAILURE(status)) {
        if (c) ucol_close(c);
        return;
    }
    // Primary strength drops case and accents; shifted variable characters up to the
    // currency group drop spaces, punctuation and symbols, which is how the names were
    // compared on the original platform (case, non-spacing marks and symbols ignored).
    ucol_setStrength(c, UCOL_PRIMARY);
    ucol_setAttribute(c, UCOL_ALTERNATE_HANDLING, UCOL_SHIFTED, &status);
    ucol_setMaxVariable(c, UCOL_REORDER_CODE_CURRENCY, &status);
    if (U_FAILURE(status)) {
        ucol_close(c);
        return;
    }
    m_collator = c;
}

NameCollator NameCollator::for_user() {
    // Without LANG/LC_ALL ICU reports "en_US_POSIX", whose collation orders capitals and
    // small letters as different letters; such a user gets the root collation instead.
    std::string locale = uloc_getDefault();
    if (locale.find("POSIX") != std::string::npos) locale.clear();
    return NameCollator(locale);
}

NameCollator::~NameCollator() {
    if (m_collator) ucol_close(m_collator);
}

NameCollator::NameCollator(NameCollator&& o) noexcept : m_collator(o.m_collator) { o.m_collator = nullptr; }

NameCollator& NameCollator::operator=(NameCollator&& o) noexcept {
    if (this != &o) {
        if (m_collator) ucol_close(m_collator);
        m_collator = o.m_collator;
        o.m_collator = nullptr;
    }
    return *this;
}

bool NameCollator::equal(std::u16string_view a, std::u16string_view b) const {
    if (!m_collator) return a == b;
    return ucol_strcoll(m_collator, reinterpret_cast<const UChar*>(a.data()), static_cast<int32_t>(a.size()),
                        reinterpret_cast<const UChar*>(b.data()), static_cast<int32_t>(b.size())) == UCOL_EQUAL;
}

bool NameCollator::equal_utf8(std::string_view a, std::string_view b) const {
    return equal(utf8_to_utf16(a), utf8_to_utf16(b));
}

std::string NameCollator::sort_key(std::u16string_view name) const {
    if (!m_collator) return utf16_to_utf8(name);
    const auto* src = reinterpret_cast<const UChar*>(name.data());
    auto len = static_cast<int32_t>(name.size());
    std::string key(64, '\0');
    int32_t n = ucol_getSortKey(m_collator, src, len, reinterpret_cast<uint8_t*>(key.data()), static_cast<int32_t>(key.size()));
    if (n > static_cast<int32_t>(key.size())) {
        key.resize(static_cast<std::size_t>(n));
        n = ucol_getSortKey(m_collator, src, len, reinterpret_cast<uint8_t*>(key.data()), n);
    }
    key.resize(n > 0 ? static_cast<std::size_t>(n - 1) : 0);  // without the terminating zero
    return key;
}

}  // namespace tellurim
