#include "platform/FormLoader.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace treskel {

// ---------------------------------------------------------------- parser

namespace {

class Parser {
public:
    Parser(const std::string& text, const std::string& source) : t_(text), source_(source) {}

    FormObject ParseRoot() {
        FormObject root = ParseObject();
        SkipSpace();
        if (p_ < t_.size()) Fail("text after the end of the layout");
        return root;
    }

private:
    [[noreturn]] void Fail(const std::string& what) const {
        throw EReadError(Format("%s(%d): %s", source_.c_str(), line_, what.c_str()));
    }

    // Components and values nest a few levels in any real layout; the
    // limit keeps a damaged one from exhausting the stack, here and in the
    // reader, which walks what this makes the same way.
    static constexpr int kMaxNesting = 64;

    // One level of nesting, named as the reader names where it is: the
    // component path, then the property, then the collection item.
    class Nesting {
    public:
        Nesting(Parser& p, std::string segment) : p_(p) {
            p_.path_.push_back(std::move(segment));
            if (static_cast<int>(p_.path_.size()) > kMaxNesting) {
                std::string where;
                for (const std::string& s : p_.path_)
                    if (!s.empty()) where += (where.empty() || s[0] == '[' ? "" : ".") + s;
                p_.Fail(Format("Error reading %s: the layout nests more than %d levels deep", where.c_str(),
                               kMaxNesting));
            }
        }
        ~Nesting() { p_.path_.pop_back(); }
        Nesting(const Nesting&) = delete;
        Nesting& operator=(const Nesting&) = delete;

    private:
        Parser& p_;
    };

    void SkipSpace() {
        while (p_ < t_.size()) {
            char c = t_[p_];
            if (c == '\n') {
                ++line_;
                ++p_;
            } else if (c == ' ' || c == '\t' || c == '\r') {
                ++p_;
            } else if (c == '/' && p_ + 1 < t_.size() && t_[p_ + 1] == '/') {
                while (p_ < t_.size() && t_[p_] != '\n') ++p_;
            } else {
                break;
            }
        }
    }

    bool AtIdentStart() const {
        return p_ < t_.size() && (std::isalpha(static_cast<unsigned char>(t_[p_])) || t_[p_] == '_');
    }

    std::string Ident() {
        SkipSpace();
        if (!AtIdentStart()) Fail("identifier expected");
        size_t s = p_;
        while (p_ < t_.size() && (std::isalnum(static_cast<unsigned char>(t_[p_])) || t_[p_] == '_')) ++p_;
        return t_.substr(s, p_ - s);
    }

    // A possibly dotted name: Font.Style
    std::string DottedName() {
        std::string n = Ident();
        while (p_ < t_.size() && t_[p_] == '.') {
            ++p_;
            n += '.';
            n += Ident();
        }
        return n;
    }

    void Expect(char c) {
        SkipSpace();
        if (p_ >= t_.size() || t_[p_] != c) Fail(Format("'%c' expected", c));
        ++p_;
    }

    bool Peek(char c) {
        SkipSpace();
        return p_ < t_.size() && t_[p_] == c;
    }

    bool PeekWord(const char* w) {
        SkipSpace();
        size_t n = std::strlen(w);
        if (t_.compare(p_, n, w) != 0) return false;
        size_t e = p_ + n;
        return e >= t_.size() || !(std::isalnum(static_cast<unsigned char>(t_[e])) || t_[e] == '_');
    }

    FormObject ParseObject() {
        SkipSpace();
        FormObject o;
        o.line = line_;
        if (!PeekWord("object")) Fail("'object' expected");
        p_ += 6;
        // "object Name: TClass", or "object TClass" for a component
        // without a name.
        o.className = Ident();
        SkipSpace();
        if (p_ < t_.size() && t_[p_] == ':') {
            Expect(':');
            o.name = std::move(o.className);
            o.className = Ident();
        }
        const Nesting level(*this, o.name);
        for (;;) {
            SkipSpace();
            if (p_ >= t_.size()) Fail(Format("'end' expected for object %s", o.name.c_str()));
            if (PeekWord("end")) {
                p_ += 3;
                return o;
            }
            if (PeekWord("object")) {
                o.children.push_back(ParseObject());
                continue;
            }
            o.props.push_back(ParseAssignment());
        }
    }

    FormValue::Assignment ParseAssignment() {
        FormValue::Assignment a;
        SkipSpace();
        a.line = line_;
        a.name = DottedName();
        Expect('=');
        const Nesting level(*this, a.name);
        a.value = ParseValue();
        return a;
    }

    std::string StringValue() {
        std::string s;
        for (;;) {
            SkipSpace();
            bool any = false;
            while (p_ < t_.size() && (t_[p_] == '\'' || t_[p_] == '#')) {
                any = true;
                if (t_[p_] == '\'') {
                    ++p_;
                    for (;;) {
                        if (p_ >= t_.size() || t_[p_] == '\n') Fail("unterminated string");
                        if (t_[p_] == '\'') {
                            if (p_ + 1 < t_.size() && t_[p_ + 1] == '\'') {
                                s += '\'';
                                p_ += 2;
                                continue;
                            }
                            ++p_;
                            break;
                        }
                        s += t_[p_++];
                    }
                } else {
                    ++p_;
                    size_t st = p_;
                    while (p_ < t_.size() && std::isdigit(static_cast<unsigned char>(t_[p_]))) ++p_;
                    if (st == p_) Fail("character code expected after '#'");
                    // Long runs of digits would overflow the conversion.
                    const int code = p_ - st > 3 ? 256 : std::atoi(t_.substr(st, p_ - st).c_str());
                    if (code > 255) Fail("character code out of range");
                    s += static_cast<char>(code);
                }
            }
            if (!any) Fail("string expected");
            if (Peek('+')) {
                ++p_;
                continue;
            }
            return s;
        }
    }

    FormValue ParseValue() {
        SkipSpace();
        FormValue v;
        v.line = line_;
        if (p_ >= t_.size()) Fail("value expected");
        char c = t_[p_];
        if (c == '\'' || c == '#') {
            v.kind = FormValue::kString;
            v.s = StringValue();
        } else if (c == '-' || c == '+' || c == '$' || std::isdigit(static_cast<unsigned char>(c))) {
            size_t s = p_;
            if (c == '-' || c == '+') ++p_;
            if (p_ < t_.size() && t_[p_] == '$') {
                ++p_;
                while (p_ < t_.size() && std::isxdigit(static_cast<unsigned char>(t_[p_]))) ++p_;
            } else {
                while (p_ < t_.size() && (std::isdigit(static_cast<unsigned char>(t_[p_])) || t_[p_] == '.' ||
                                          t_[p_] == 'e' || t_[p_] == 'E'))
                    ++p_;
            }
            std::string num = t_.substr(s, p_ - s);
            int64_t iv;
            if (TryStrToInt64(num, iv)) {
                v.kind = FormValue::kInt;
                v.i = iv;
            } else {
                char* end = nullptr;
                double d = std::strtod(num.c_str(), &end);
                if (end == nullptr || *end != '\0' || num.empty()) Fail("invalid number " + num);
                v.kind = FormValue::kFloat;
                v.f = d;
            }
        } else if (c == '[') {
            ++p_;
            v.kind = FormValue::kSet;
            if (!Peek(']')) {
                for (;;) {
                    v.members.push_back(Ident());
                    if (Peek(',')) {
                        ++p_;
                        continue;
                    }
                    break;
                }
            }
            Expect(']');
        } else if (c == '(') {
            ++p_;
            v.kind = FormValue::kList;
            while (!Peek(')')) {
                if (p_ >= t_.size()) Fail("')' expected");
                const Nesting level(*this, Format("[%d]", static_cast<int>(v.list.size())));
                v.list.push_back(ParseValue());
                if (Peek(',')) ++p_;
            }
            ++p_;
        } else if (c == '<') {
            ++p_;
            v.kind = FormValue::kCollection;
            while (!Peek('>')) {
                if (!PeekWord("item")) Fail("'item' or '>' expected");
                p_ += 4;
                const Nesting level(*this, Format("[%d]", static_cast<int>(v.items.size())));
                FormValue::Item item;
                while (!PeekWord("end")) {
                    if (p_ >= t_.size()) Fail("'end' expected for item");
                    item.push_back(ParseAssignment());
                }
                p_ += 3;
                v.items.push_back(std::move(item));
            }
            ++p_;
        } else if (c == '{') {
            ++p_;
            v.kind = FormValue::kBinary;
            int nibble = -1;
            for (;;) {
                SkipSpace();
                if (p_ >= t_.size()) Fail("'}' expected");
                char h = t_[p_++];
                if (h == '}') break;
                int d = std::isdigit(static_cast<unsigned char>(h)) ? h - '0'
                        : (h >= 'A' && h <= 'F')                     ? h - 'A' + 10
                        : (h >= 'a' && h <= 'f')                     ? h - 'a' + 10
                                                                     : -1;
                if (d < 0) Fail("hexadecimal digit expected");
                if (nibble < 0) {
                    nibble = d;
                } else {
                    v.bytes.push_back(static_cast<uint8_t>(nibble * 16 + d));
                    nibble = -1;
                }
            }
            if (nibble >= 0) Fail("odd number of hexadecimal digits");
        } else if (AtIdentStart()) {
            v.kind = FormValue::kIdent;
            v.s = DottedName();
        } else {
            Fail(Format("unexpected character '%c'", c));
        }
        return v;
    }

    const std::string& t_;
    const std::string& source_;
    size_t p_ = 0;
    int line_ = 1;
    std::vector<std::string> path_;
};

}  // namespace

FormObject ParseLayout(const std::string& text, const std::string& source) {
    Parser parser(text, source);
    return parser.ParseRoot();
}

// ---------------------------------------------------------------- values

std::string FormValue::Describe() const {
    switch (kind) {
        case kInt: return IntToStr(i);
        case kFloat: return Format("%g", f);
        case kString: return QuotedStr(s);
        case kIdent: return s;
        case kSet: return "[...]";
        case kList: return "(...)";
        case kCollection: return "<...>";
        case kBinary: return "{...}";
    }
    return "?";
}

int EnumInfo::Find(const std::string& name) const {
    for (size_t i = 0; i < names.size(); ++i)
        if (SameText(names[i], name)) return static_cast<int>(i);
    return -1;
}

std::optional<int> IntIdents::Find(const std::string& name) const {
    for (auto& [n, v] : map)
        if (SameText(n, name)) return v;
    return std::nullopt;
}

std::optional<std::string> IntIdents::Name(int value) const {
    for (auto& [n, v] : map)
        if (v == value) return n;
    return std::nullopt;
}

namespace typinfo {

std::string LowerName(const std::string& s) { return LowerCase(s); }

int64_t AsInt(const FormValue& v, LayoutReader& r, const IntIdents* idents) {
    if (v.kind == FormValue::kInt) return v.i;
    if (v.kind == FormValue::kIdent && idents != nullptr)
        if (auto x = idents->Find(v.s)) return *x;
    r.Error("Invalid property value " + v.Describe() + " (integer expected)");
}

bool AsBool(const FormValue& v, LayoutReader& r) {
    if (v.kind == FormValue::kIdent) {
        if (SameText(v.s, "True")) return true;
        if (SameText(v.s, "False")) return false;
    }
    r.Error("Invalid property value " + v.Describe() + " (True or False expected)");
}

double AsFloat(const FormValue& v, LayoutReader& r) {
    if (v.kind == FormValue::kFloat) return v.f;
    if (v.kind == FormValue::kInt) return static_cast<double>(v.i);
    r.Error("Invalid property value " + v.Describe() + " (number expected)");
}

std::string AsString(const FormValue& v, LayoutReader& r) {
    if (v.kind == FormValue::kString || v.kind == FormValue::kIdent) return v.s;
    r.Error("Invalid property value " + v.Describe() + " (string expected)");
}

const std::vector<uint8_t>& AsBinary(const FormValue& v, LayoutReader& r) {
    if (v.kind != FormValue::kBinary) r.Error("Invalid property value " + v.Describe() + " (binary data expected)");
    return v.bytes;
}

FormValue BinaryValue(std::vector<uint8_t> bytes) {
    FormValue v;
    v.kind = FormValue::kBinary;
    v.bytes = std::move(bytes);
    return v;
}

int AsEnum(const FormValue& v, const EnumInfo& info, LayoutReader& r) {
    if (v.kind == FormValue::kIdent) {
        int i = info.Find(v.s);
        if (i >= 0) return i;
    }
    r.Error("Invalid property value " + v.Describe() + " (a member of " + info.typeName + " expected)");
}

uint64_t AsSet(const FormValue& v, const EnumInfo& info, LayoutReader& r) {
    if (v.kind != FormValue::kSet) r.Error("Invalid property value " + v.Describe() + " (set expected)");
    uint64_t bits = 0;
    for (auto& m : v.members) {
        int i = info.Find(m);
        if (i < 0) r.Error("Invalid set member " + m + " (a member of " + info.typeName + " expected)");
        bits |= uint64_t(1) << i;
    }
    return bits;
}

FormValue SetValue(uint64_t bits, const EnumInfo& info) {
    std::vector<std::string> m;
    for (size_t i = 0; i < info.names.size() && i < 64; ++i)
        if (bits & (uint64_t(1) << i)) m.push_back(info.names[i]);
    return FormValue::SetOf(std::move(m));
}

void AddFixup(LayoutReader& r, std::function<void(TComponent*)> apply, const std::string& name) {
    r.AddFixup(std::move(apply), name);
}

std::any FindHandler(const FormValue& v, LayoutReader& r) {
    if (v.kind != FormValue::kIdent) r.Error("Invalid property value " + v.Describe() + " (handler name expected)");
    const ClassInfo* ci = ClassRegistry::Instance().Of(r.Root());
    const auto* h = ci != nullptr ? ci->FindHandler(v.s) : nullptr;
    if (h == nullptr) r.Error(Format("%s has no handler %s", r.Root()->ClassName(), v.s.c_str()));
    return (*h)(r.Root());
}

}  // namespace typinfo

// ---------------------------------------------------------------- registry

ClassRegistry& ClassRegistry::Instance() {
    static ClassRegistry* registry = [] {
        auto* r = new ClassRegistry;
        // The roots every other registration names as parent.
        r->Add("TPersistent", "");
        r->Add("TCollectionItem", "TPersistent");
        r->Add("TCollection", "TPersistent");
        r->Add("TStrings", "TPersistent");
        r->Add("TStringList", "TStrings");
        return r;
    }();
    static bool componentDone = false;
    if (!componentDone) {
        componentDone = true;
        PublishClass<TComponent, TPersistent>().NotCreatable().Int("Tag", &TComponent::Tag, &TComponent::SetTag);
    }
    return *registry;
}

ClassInfo& ClassRegistry::Add(const std::string& name, const std::string& parent) {
    auto& slot = classes_[LowerCase(name)];
    if (!slot) slot = std::make_unique<ClassInfo>();
    // Registering again extends the class (another unit may add the
    // properties that need its own types).
    slot->name = name;
    if (!parent.empty()) {
        slot->parent = Find(parent);
        if (slot->parent == nullptr)
            throw EClassNotFound(Format("Class %s must be registered before %s", parent.c_str(), name.c_str()));
    }
    return *slot;
}

const ClassInfo* ClassRegistry::Find(const std::string& name) const {
    auto it = classes_.find(LowerCase(name));
    return it == classes_.end() ? nullptr : it->second.get();
}

const PropInfo* ClassInfo::FindProp(const std::string& propName) const {
    for (const ClassInfo* c = this; c != nullptr; c = c->parent)
        for (auto it = c->props.rbegin(); it != c->props.rend(); ++it)
            if (SameText(it->name, propName)) return it->hidden ? nullptr : &*it;
    return nullptr;
}

const std::function<std::any(TObject*)>* ClassInfo::FindHandler(const std::string& handler) const {
    std::string key = LowerCase(handler);
    for (const ClassInfo* c = this; c != nullptr; c = c->parent) {
        auto it = c->handlers.find(key);
        if (it != c->handlers.end()) return &it->second;
    }
    return nullptr;
}

const std::function<void(TObject*, TComponent*)>* ClassInfo::FindField(const std::string& field) const {
    std::string key = LowerCase(field);
    for (const ClassInfo* c = this; c != nullptr; c = c->parent) {
        auto it = c->fields.find(key);
        if (it != c->fields.end()) return &it->second;
    }
    return nullptr;
}

bool ClassInfo::InheritsFrom(const ClassInfo* other) const {
    for (const ClassInfo* c = this; c != nullptr; c = c->parent)
        if (c == other) return true;
    return false;
}

// ---------------------------------------------------------------- reader

LayoutReader::LayoutReader(TComponent* root, std::string source) : root_(root), source_(std::move(source)) {}

namespace {
// An error that already names its place in the layout.
TRESKEL_EXCEPTION(ELayoutError, EReadError);
}  // namespace

void LayoutReader::Error(const std::string& what) const {
    std::string where = where_.empty() ? std::string() : "Error reading " + where_ + ": ";
    throw ELayoutError(Format("%s(%d): %s%s", source_.c_str(), line_, where.c_str(), what.c_str()));
}

LayoutGlobalFinder& GlobalComponentFinder() {
    static LayoutGlobalFinder finder;
    return finder;
}

void LayoutReader::AddFixup(std::function<void(TComponent*)> apply, const std::string& name) {
    fixups_.push_back({std::move(apply), name, where_, line_});
}

namespace {
// Marks every component of a layout as loading while it is read.
void SetLoading(std::vector<TComponent*>& list, bool on) {
    for (TComponent* c : list) {
        c->SetComponentState(TComponentStateItem::csLoading, on);
        c->SetComponentState(TComponentStateItem::csReading, on);
    }
}
}  // namespace

void LayoutReader::Read(const FormObject& layout) {
    line_ = layout.line;
    const ClassInfo* rootInfo = ClassRegistry::Instance().Of(root_);
    if (rootInfo == nullptr) Error(Format("Class %s not found", root_->ClassName()));
    const ClassInfo* layoutInfo = ClassRegistry::Instance().Find(layout.className);
    if (layoutInfo == nullptr) Error(Format("Class %s not found", layout.className.c_str()));
    if (!rootInfo->InheritsFrom(layoutInfo))
        Error(Format("The layout is for a %s, not a %s", layout.className.c_str(), root_->ClassName()));

    loaded_.clear();
    loaded_.push_back(root_);
    root_->SetComponentState(TComponentStateItem::csLoading, true);
    root_->SetComponentState(TComponentStateItem::csReading, true);
    try {
        root_->SetName(layout.name);
        ReadProperties(root_, layout.props, layout.name);
        ReadChildren(root_, layout, layout.name);
        for (auto& f : fixups_) {
            where_ = f.where;
            line_ = f.line;
            TComponent* target = root_->FindComponent(f.name);
            if (target == nullptr && SameText(f.name, root_->Name())) target = root_;
            const bool otherWindow = f.name.find('.') != std::string::npos;
            if (target == nullptr && otherWindow && GlobalComponentFinder()) target = GlobalComponentFinder()(f.name);
            // A window that does not exist (yet) leaves the reference empty.
            if (target == nullptr && otherWindow) continue;
            if (target == nullptr) Error("Invalid property value: no component named " + f.name);
            try {
                f.apply(target);
            } catch (const ELayoutError&) {
                throw;
            } catch (const Exception& e) {
                Error(e.Message());
            }
        }
        fixups_.clear();
        where_ = layout.name;
        line_ = layout.line;
        CheckFieldsBound(rootInfo);
    } catch (...) {
        SetLoading(loaded_, false);
        throw;
    }
    for (TComponent* c : loaded_) c->SetComponentState(TComponentStateItem::csReading, false);
    // Loaded clears the loading state of each; every component sees the
    // whole layout by then.
    std::vector<TComponent*> list = loaded_;
    for (TComponent* c : list) c->Loaded();
}

// A field the layout does not set would stay null until first used: the
// layout is refused at once instead, naming the field.
void LayoutReader::CheckFieldsBound(const ClassInfo* rootInfo) const {
    for (const ClassInfo* c = rootInfo; c != nullptr; c = c->parent)
        for (const auto& [key, name] : c->fieldNames)
            if (boundFields_.count(key) == 0) Error(Format("Field %s has no component in the layout", name.c_str()));
}

void LayoutReader::ReadChildren(TComponent* parent, const FormObject& fo, const std::string& path) {
    for (const FormObject& child : fo.children) {
        line_ = child.line;
        where_ = path + "." + child.name;
        const ClassInfo* ci = ClassRegistry::Instance().Find(child.className);
        if (ci == nullptr) Error(Format("Class %s not found", child.className.c_str()));
        if (!ci->create) Error(Format("Class %s cannot be created from a layout", child.className.c_str()));
        TComponent* c = ci->create(root_);
        loaded_.push_back(c);
        c->SetComponentState(TComponentStateItem::csLoading, true);
        c->SetComponentState(TComponentStateItem::csReading, true);
        try {
            c->SetName(child.name);
        } catch (const Exception& e) {
            Error(e.Message());
        }
        if (parent != root_ || c->HasParent()) c->SetParentComponent(parent);
        try {
            c->ReadState();
        } catch (const Exception& e) {
            Error(e.Message());
        }
        const ClassInfo* rootInfo = ClassRegistry::Instance().Of(root_);
        if (const auto* field = rootInfo->FindField(child.name)) {
            boundFields_.insert(LowerCase(child.name));
            try {
                (*field)(root_, c);
            } catch (const ELayoutError&) {
                throw;
            } catch (const Exception& e) {
                Error(e.Message());
            }
        }
        ReadProperties(c, child.props, path + "." + child.name);
        ReadChildren(c, child, path + "." + child.name);
    }
}

void LayoutReader::ReadProperties(TObject* obj, const std::vector<FormValue::Assignment>& props,
                                  const std::string& path) {
    for (const auto& a : props) SetProperty(obj, a, path);
}

void LayoutReader::SetProperty(TObject* obj, const FormValue::Assignment& a, const std::string& path) {
    line_ = a.line;
    where_ = path + "." + a.name;
    // Walk a dotted name through owned sub-objects.
    TObject* target = obj;
    std::vector<std::string> parts = SplitString(a.name, '.');
    for (size_t i = 0; i < parts.size(); ++i) {
        const ClassInfo* ci = ClassRegistry::Instance().Of(target);
        if (ci == nullptr) Error(Format("Class %s not found", target->ClassName()));
        bool last = i + 1 == parts.size();
        // "Items.Strings = (...)": the list form of a string list.
        if (last && SameText(parts[i], "Strings") && dynamic_cast<TStrings*>(target) != nullptr) {
            auto* strings = static_cast<TStrings*>(target);
            if (a.value.kind != FormValue::kList) Error("Invalid property value (list of strings expected)");
            strings->BeginUpdate();
            strings->Clear();
            for (auto& v : a.value.list) strings->Add(typinfo::AsString(v, *this));
            strings->EndUpdate();
            return;
        }
        const PropInfo* p = ci->FindProp(parts[i]);
        if (p == nullptr) Error(Format("Property %s does not exist", parts[i].c_str()));
        if (!last) {
            if (!p->object) Error(Format("Property %s has no properties of its own", parts[i].c_str()));
            target = p->object(target);
            if (target == nullptr) Error(Format("Property %s is not assigned", parts[i].c_str()));
            continue;
        }
        if (p->read) {
            try {
                p->read(target, a.value, *this);
            } catch (const ELayoutError&) {
                throw;
            } catch (const Exception& e) {
                Error(e.Message());
            }
            return;
        }
        TPersistent* sub = p->object ? p->object(target) : nullptr;
        if (auto* coll = dynamic_cast<TCollection*>(sub); coll != nullptr && a.value.kind == FormValue::kCollection) {
            ReadCollection(coll, a.value, where_);
            return;
        }
        if (auto* strings = dynamic_cast<TStrings*>(sub); strings != nullptr && a.value.kind == FormValue::kList) {
            strings->BeginUpdate();
            strings->Clear();
            for (auto& v : a.value.list) strings->Add(typinfo::AsString(v, *this));
            strings->EndUpdate();
            return;
        }
        Error(Format("Property %s cannot be set to %s", parts[i].c_str(), a.value.Describe().c_str()));
    }
}

void LayoutReader::ReadCollection(TCollection* coll, const FormValue& v, const std::string& path) {
    coll->BeginUpdate();
    coll->Clear();
    int index = 0;
    for (const auto& item : v.items) {
        TCollectionItem* ci = coll->Add();
        std::string itemPath = Format("%s[%d]", path.c_str(), index++);
        for (const auto& a : item) SetProperty(ci, a, itemPath);
    }
    coll->EndUpdate();
}

void ReadLayout(TComponent* root, const std::string& text, const std::string& source) {
    FormObject layout = ParseLayout(text, source);
    LayoutReader reader(root, source);
    reader.Read(layout);
}

// ---------------------------------------------------------------- writer

namespace {

std::string WriteString(const std::string& s) {
    std::string out;
    bool inQuote = false;
    for (unsigned char c : s) {
        if (c >= 32 && c < 127) {
            if (!inQuote) {
                out += '\'';
                inQuote = true;
            }
            if (c == '\'') out += '\'';
            out += static_cast<char>(c);
        } else {
            if (inQuote) {
                out += '\'';
                inQuote = false;
            }
            out += '#' + std::to_string(c);
        }
    }
    if (inQuote) out += '\'';
    if (out.empty()) out = "''";
    return out;
}

std::string WriteValue(const FormValue& v, const std::string& indent);

void WriteProps(TObject* obj, const std::string& prefix, const std::string& indent, std::string& out) {
    const ClassInfo* ci = ClassRegistry::Instance().Of(obj);
    if (ci == nullptr) return;
    std::vector<const ClassInfo*> chain;
    for (const ClassInfo* c = ci; c != nullptr; c = c->parent) chain.insert(chain.begin(), c);
    std::vector<std::string> done;
    for (const ClassInfo* c : chain) {
        for (const PropInfo& p : c->props) {
            if (p.alias) continue;
            // A derived class may register a property again; write it once.
            bool seen = false;
            for (auto& d : done) seen = seen || SameText(d, p.name);
            if (seen) continue;
            done.push_back(p.name);
            const PropInfo* eff = ci->FindProp(p.name);
            if (eff == nullptr || (eff->stored && !eff->stored(obj))) continue;
            if (eff->write) {
                if (auto v = eff->write(obj)) out += indent + prefix + p.name + " = " + WriteValue(*v, indent) + "\n";
            } else if (eff->object) {
                TPersistent* sub = eff->object(obj);
                if (sub == nullptr) continue;
                if (auto* strings = dynamic_cast<TStrings*>(sub)) {
                    if (strings->Count() == 0) continue;
                    out += indent + prefix + p.name + ".Strings = (";
                    for (int i = 0; i < strings->Count(); ++i) out += "\n" + indent + "  " + WriteString(strings->Get(i));
                    out += ")\n";
                } else if (auto* coll = dynamic_cast<TCollection*>(sub)) {
                    if (coll->Count() == 0) continue;
                    out += indent + prefix + p.name + " = <";
                    for (int i = 0; i < coll->Count(); ++i) {
                        out += "\n" + indent + "  item\n";
                        WriteProps(coll->Items(i), "", indent + "    ", out);
                        out += indent + "  end";
                    }
                    out += ">\n";
                } else {
                    WriteProps(sub, prefix + p.name + ".", indent, out);
                }
            }
        }
    }
}

std::string WriteValue(const FormValue& v, const std::string& indent) {
    switch (v.kind) {
        case FormValue::kInt: return IntToStr(v.i);
        case FormValue::kFloat: return Format("%.17g", v.f);
        case FormValue::kString: return WriteString(v.s);
        case FormValue::kIdent: return v.s;
        case FormValue::kSet: {
            std::string s = "[";
            for (size_t i = 0; i < v.members.size(); ++i) s += (i ? ", " : "") + v.members[i];
            return s + "]";
        }
        case FormValue::kList: {
            std::string s = "(";
            for (size_t i = 0; i < v.list.size(); ++i) s += (i ? " " : "") + WriteValue(v.list[i], indent);
            return s + ")";
        }
        case FormValue::kBinary: {
            std::string s = "{";
            for (size_t i = 0; i < v.bytes.size(); ++i) {
                if (i % 32 == 0) s += "\n" + indent + "  ";
                s += IntToHex(v.bytes[i], 2);
            }
            return s + "}";
        }
        case FormValue::kCollection: return "<>";
    }
    return "";
}

void WriteObject(TComponent* c, TComponent* root, const std::string& indent, std::string& out) {
    out += indent + "object " + (c->Name().empty() ? std::string() : c->Name() + ": ") + c->ClassName() + "\n";
    WriteProps(c, "", indent + "  ", out);
    c->GetChildren([&](TComponent* child) { WriteObject(child, root, indent + "  ", out); }, root);
    out += indent + "end\n";
}

}  // namespace

std::string WriteLayout(TComponent* root) {
    std::string out;
    WriteObject(root, root, "", out);
    return out;
}

}  // namespace treskel
