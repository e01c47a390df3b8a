// The paragraph words that some rich-edit windows write in a form their own
// reader takes as another format (RichEdit2Rules.h).
#include <algorithm>
#include <charconv>

#include "richedit/RichEdit2Rules.h"

namespace treskel {

namespace {

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

constexpr int kSingleLine = 240;  // twips of one line in "\slN\slmult1"

void PutWord(const char* name, int value, std::string& out) {
    out += '\\';
    out += name;
    char digits[16];
    auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end);
}

}  // namespace

struct TParaWordFilter::TWord {
    std::string_view Bytes;  // with the space that ends it, if any
    std::string_view Name;
    int Value = 0;
    bool DoubleMinus = false;  // "\sl--N"
    bool Space = false;
};

namespace {

// The length of the control word or symbol at `at` (a backslash), or 0
// when the bytes end before it does and more may come.
size_t WordLength(std::string_view d, size_t at, bool final) {
    size_t i = at + 1;
    if (i >= d.size()) return final ? d.size() - at : 0;
    if (!IsLetter(d[i])) return 2;
    while (i < d.size() && IsLetter(d[i])) ++i;
    // A minus (two after \sl), digits, and one space that ends the word.
    for (int minus = 0; minus < 2 && i < d.size() && d[i] == '-'; ++minus) ++i;
    while (i < d.size() && IsDigit(d[i])) ++i;
    if (i >= d.size()) return final ? d.size() - at : 0;
    if (d[i] == ' ') ++i;
    return i - at;
}

}  // namespace

void TParaWordFilter::Write(std::string_view bytes, std::string& out) {
    if (carry_.empty()) {
        Process(bytes, false, out);
    } else {
        std::string joined = std::move(carry_);
        carry_.clear();
        joined.append(bytes);
        Process(joined, false, out);
    }
}

void TParaWordFilter::Finish(std::string& out) {
    std::string rest = std::move(carry_);
    carry_.clear();
    Process(rest, true, out);
    Flush(out);
}

void TParaWordFilter::Process(std::string_view d, bool final, std::string& out) {
    size_t i = 0;
    while (i < d.size()) {
        if (binaryLeft_ > 0) {
            size_t n = static_cast<size_t>(std::min<int64_t>(binaryLeft_, static_cast<int64_t>(d.size() - i)));
            out.append(d.substr(i, n));
            binaryLeft_ -= static_cast<int64_t>(n);
            i += n;
            continue;
        }
        char c = d[i];
        if (c != '\\' && c != '{' && c != '}') {
            size_t j = i + 1;
            while (j < d.size() && d[j] != '\\' && d[j] != '{' && d[j] != '}') ++j;
            Flush(out);
            out.append(d.substr(i, j - i));
            i = j;
            continue;
        }
        if (c == '{') {
            Flush(out);
            outer_.push_back(scope_);
            out += c;
            ++i;
            continue;
        }
        if (c == '}') {
            Flush(out);
            if (!outer_.empty()) {
                scope_ = outer_.back();
                outer_.pop_back();
            }
            out += c;
            ++i;
            continue;
        }
        size_t n = WordLength(d, i, final);
        if (n == 0) {
            carry_.assign(d.substr(i));
            return;
        }
        TWord w;
        w.Bytes = d.substr(i, n);
        size_t k = 1;
        while (k < n && IsLetter(w.Bytes[k])) ++k;
        w.Name = w.Bytes.substr(1, k - 1);
        bool negative = k < n && w.Bytes[k] == '-';
        if (negative) ++k;
        w.DoubleMinus = negative && k < n && w.Bytes[k] == '-';
        if (w.DoubleMinus) ++k;
        size_t digits = k;
        while (k < n && IsDigit(w.Bytes[k])) ++k;
        std::from_chars(w.Bytes.data() + digits, w.Bytes.data() + k, w.Value);
        if (negative && !w.DoubleMinus) w.Value = -w.Value;
        w.Space = w.Bytes.back() == ' ' && n > 2;
        Take(w, out);
        i += n;
    }
}

void TParaWordFilter::Take(const TWord& w, std::string& out) {
    const bool indent = faults_.SwappedIndents && (w.Name == "li" || w.Name == "fi") && !w.DoubleMinus;
    const bool spacing = faults_.LineSpacing && (w.Name == "sl" || w.Name == "slmult");
    if (!indent && !spacing) {
        Flush(out);
        out.append(w.Bytes);
        if (w.Name == "pard") {
            scope_ = {};
        } else if (w.Name == "bin") {
            binaryLeft_ = std::max(w.Value, 0);
        }
        return;
    }
    if (held_.empty()) spacingFirst_ = spacing;
    held_.append(w.Bytes);
    (indent ? indentWords_ : spacingWords_).append(w.Space ? w.Bytes.substr(0, w.Bytes.size() - 1) : w.Bytes);
    heldSpace_ = w.Space;
    if (w.Name == "li") {
        li_ = w.Value;
        ++liCount_;
    } else if (w.Name == "fi") {
        fi_ = w.Value;
        ++fiCount_;
    } else if (w.Name == "sl") {
        sl_ = w.Value;
        slDoubleMinus_ = w.DoubleMinus;
        ++slCount_;
    } else {
        slmult_ = w.Value;
        ++slmultCount_;
    }
}

std::string TParaWordFilter::MendedIndents() const {
    // Mended only as the window writes them: once, right after the
    // paragraph's \pard, where what it leaves out is 0.
    if (liCount_ > 1 || fiCount_ > 1 || scope_.Indents) return indentWords_;
    // The window wrote the first line's indent (\fi) and the offset of the
    // other lines from it (\li).
    const int left = fi_ + li_, first = -li_;
    std::string words;
    if (left != 0 || first == 0) PutWord("li", left, words);
    if (first != 0) PutWord("fi", first, words);
    return words;
}

std::string TParaWordFilter::MendedSpacing() const {
    if (slCount_ != 1 || slmultCount_ != 1 || scope_.Spacing) return spacingWords_;
    std::string words;
    if (slmult_ == 1 && sl_ <= 0 && sl_ % kSingleLine == 0) {
        // A multiple of single lines: the window's reader takes the count
        // from \slmult, others the twips from \sl.
        PutWord("sl", sl_, words);
        PutWord("slmult", -sl_ / kSingleLine, words);
    } else if (slmult_ == 0) {
        // At least N, or exactly N (which the window holds as -N and
        // writes as "--N"): \slmult0 would read as no lines at all.
        PutWord("sl", slDoubleMinus_ ? -sl_ : sl_, words);
    } else {
        return spacingWords_;
    }
    return words;
}

void TParaWordFilter::Flush(std::string& out) {
    if (held_.empty()) return;
    std::string indents = indentWords_.empty() ? std::string() : MendedIndents();
    std::string spacing = spacingWords_.empty() ? std::string() : MendedSpacing();
    if (indents == indentWords_ && spacing == spacingWords_) {
        out += held_;
    } else {
        out += spacingFirst_ ? spacing + indents : indents + spacing;
        // The space that ended the last word held ends the last one put.
        if (heldSpace_) out += ' ';
    }
    if (!indentWords_.empty()) scope_.Indents = true;
    if (!spacingWords_.empty()) scope_.Spacing = true;
    held_.clear();
    indentWords_.clear();
    spacingWords_.clear();
    li_ = fi_ = sl_ = slmult_ = 0;
    slDoubleMinus_ = false;
    liCount_ = fiCount_ = slCount_ = slmultCount_ = 0;
}

std::string MendParaWords(std::string_view rtf, TParaWordFaults faults) {
    TParaWordFilter filter(faults);
    std::string out;
    out.reserve(rtf.size() + rtf.size() / 16);
    filter.Write(rtf, out);
    filter.Finish(out);
    return out;
}

}  // namespace treskel
