// The class registry: each class that appears in window layouts registers
// its name, its parent, how to create it, and its published properties by
// name; a form class also registers its event handlers and component fields.
// No <windows.h>.
#pragma once

#include <any>
#include <functional>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/Classes.h"

namespace treskel {

class LayoutReader;

// A value as written in a layout.
struct FormValue {
    enum Kind { kInt, kFloat, kString, kIdent, kSet, kList, kCollection, kBinary };
    struct Assignment;
    using Item = std::vector<Assignment>;

    Kind kind = kInt;
    int64_t i = 0;
    double f = 0;
    std::string s;                      // string bytes, or identifier
    std::vector<std::string> members;   // set members
    std::vector<FormValue> list;        // list elements
    std::vector<Item> items;            // collection items
    std::vector<uint8_t> bytes;         // binary data
    int line = 0;

    static FormValue Int(int64_t v);
    static FormValue Str(std::string v);
    static FormValue Ident(std::string v);
    static FormValue SetOf(std::vector<std::string> m);
    std::string Describe() const;
};

struct FormValue::Assignment {
    std::string name;  // may be dotted: "Font.Style"
    FormValue value;
    int line = 0;
};

// Defined here, where a FormValue is complete with its assignments.
inline FormValue FormValue::Int(int64_t v) {
    FormValue x;
    x.kind = kInt;
    x.i = v;
    return x;
}
inline FormValue FormValue::Str(std::string v) {
    FormValue x;
    x.kind = kString;
    x.s = std::move(v);
    return x;
}
inline FormValue FormValue::Ident(std::string v) {
    FormValue x;
    x.kind = kIdent;
    x.s = std::move(v);
    return x;
}
inline FormValue FormValue::SetOf(std::vector<std::string> m) {
    FormValue x;
    x.kind = kSet;
    x.members = std::move(m);
    return x;
}

// Member names of an enumeration, in order of their values.
struct EnumInfo {
    std::string typeName;
    std::vector<std::string> names;
    int Find(const std::string& name) const;  // -1 when unknown
};

// Declares the member names of an enumeration for layouts:
//   TRESKEL_ENUM_INFO(TAlign, "alNone", "alTop", ...)
#define TRESKEL_ENUM_INFO(Type, ...)                                   \
    inline const ::treskel::EnumInfo& GetEnumInfo(Type) {              \
        static const ::treskel::EnumInfo info{#Type, {__VA_ARGS__}};   \
        return info;                                                   \
    }

// Integer constants that layouts may name (colours, cursors).
struct IntIdents {
    std::vector<std::pair<std::string, int>> map;
    std::optional<int> Find(const std::string& name) const;
    std::optional<std::string> Name(int value) const;
};

struct PropInfo {
    std::string name;
    bool alias = false;  // an older name: read, never written
    bool hidden = false;  // a parent's property that this class does not publish
    std::function<void(TObject*, const FormValue&, LayoutReader&)> read;
    // The value to write, or nothing when the property has its default.
    std::function<std::optional<FormValue>(TObject*)> write;
    // Owned sub-object (font, pen, string list, collection): reached by
    // dotted names and written as such.
    std::function<TPersistent*(TObject*)> object;
    // Whether the property is written at all; without a test it is.
    std::function<bool(TObject*)> stored;
};

struct ClassInfo {
    std::string name;
    const ClassInfo* parent = nullptr;
    std::function<TComponent*(TComponent* owner)> create;  // null: cannot be created by a layout
    std::vector<PropInfo> props;
    std::map<std::string, std::function<std::any(TObject*)>> handlers;  // by lower-case name
    std::map<std::string, std::function<void(TObject*, TComponent*)>> fields;
    std::map<std::string, std::string> fieldNames;  // lower-case name -> name as registered

    const PropInfo* FindProp(const std::string& propName) const;
    const std::function<std::any(TObject*)>* FindHandler(const std::string& handler) const;
    const std::function<void(TObject*, TComponent*)>* FindField(const std::string& field) const;
    bool InheritsFrom(const ClassInfo* other) const;
};

class ClassRegistry {
public:
    static ClassRegistry& Instance();
    ClassInfo& Add(const std::string& name, const std::string& parent);
    const ClassInfo* Find(const std::string& name) const;
    const ClassInfo* Of(const TObject* obj) const { return Find(obj->ClassName()); }

private:
    std::map<std::string, std::unique_ptr<ClassInfo>> classes_;  // by lower-case name
};

// Conversions shared by the builders and by custom properties.
namespace typinfo {
int64_t AsInt(const FormValue& v, LayoutReader& r, const IntIdents* idents = nullptr);
bool AsBool(const FormValue& v, LayoutReader& r);
double AsFloat(const FormValue& v, LayoutReader& r);
std::string AsString(const FormValue& v, LayoutReader& r);
// The bytes of a binary value { ... }.
const std::vector<uint8_t>& AsBinary(const FormValue& v, LayoutReader& r);
FormValue BinaryValue(std::vector<uint8_t> bytes);
int AsEnum(const FormValue& v, const EnumInfo& info, LayoutReader& r);
uint64_t AsSet(const FormValue& v, const EnumInfo& info, LayoutReader& r);
FormValue SetValue(uint64_t bits, const EnumInfo& info);
void AddFixup(LayoutReader& r, std::function<void(TComponent*)> apply, const std::string& name);
std::string LowerName(const std::string& s);
}  // namespace typinfo

// Builds the registration of class C (derived from P) fluently:
//   PublishClass<TButton, TWinControl>().Bool("Default", &TButton::Default, &TButton::SetDefault);
template <class C, class P = void>
class PublishClass {
public:
    PublishClass() {
        const char* parent = "";
        if constexpr (!std::is_void_v<P>) parent = P::StaticClassName;
        info_ = &ClassRegistry::Instance().Add(C::StaticClassName, parent);
        if constexpr (std::is_base_of_v<TComponent, C> && std::is_constructible_v<C, TComponent*> &&
                      !std::is_abstract_v<C>)
            info_->create = [](TComponent* owner) -> TComponent* { return new C(owner); };
    }

    // Classes that need a special constructor give their own factory.
    PublishClass& Factory(std::function<TComponent*(TComponent*)> f) {
        info_->create = std::move(f);
        return *this;
    }
    PublishClass& NotCreatable() {
        info_->create = nullptr;
        return *this;
    }

    template <class G, class S>
    PublishClass& Int(const char* name, G get, S set, int64_t def = 0, const IntIdents* idents = nullptr) {
        return Add(name,
            [set, idents](TObject* o, const FormValue& v, LayoutReader& r) {
                std::invoke(set, Self(o), static_cast<int>(typinfo::AsInt(v, r, idents)));
            },
            [get, def, idents](TObject* o) -> std::optional<FormValue> {
                int64_t x = static_cast<int64_t>(std::invoke(get, Self(o)));
                if (x == def) return std::nullopt;
                if (idents != nullptr)
                    if (auto n = idents->Name(static_cast<int>(x))) return FormValue::Ident(*n);
                return FormValue::Int(x);
            });
    }

    template <class G, class S>
    PublishClass& Bool(const char* name, G get, S set, bool def = false) {
        return Add(name,
            [set](TObject* o, const FormValue& v, LayoutReader& r) { std::invoke(set, Self(o), typinfo::AsBool(v, r)); },
            [get, def](TObject* o) -> std::optional<FormValue> {
                bool x = std::invoke(get, Self(o));
                if (x == def) return std::nullopt;
                return FormValue::Ident(x ? "True" : "False");
            });
    }

    template <class G, class S>
    PublishClass& Float(const char* name, G get, S set, double def = 0) {
        return Add(name,
            [set](TObject* o, const FormValue& v, LayoutReader& r) { std::invoke(set, Self(o), typinfo::AsFloat(v, r)); },
            [get, def](TObject* o) -> std::optional<FormValue> {
                double x = std::invoke(get, Self(o));
                if (x == def) return std::nullopt;
                FormValue fv;
                fv.kind = FormValue::kFloat;
                fv.f = x;
                return fv;
            });
    }

    template <class G, class S>
    PublishClass& String(const char* name, G get, S set, const char* def = "") {
        std::string d = def;
        return Add(name,
            [set](TObject* o, const FormValue& v, LayoutReader& r) { std::invoke(set, Self(o), typinfo::AsString(v, r)); },
            [get, d](TObject* o) -> std::optional<FormValue> {
                std::string x = std::invoke(get, Self(o));
                if (x == d) return std::nullopt;
                return FormValue::Str(x);
            });
    }

    template <class E, class G, class S>
    PublishClass& Enum(const char* name, G get, S set, E def) {
        return Add(name,
            [set](TObject* o, const FormValue& v, LayoutReader& r) {
                std::invoke(set, Self(o), static_cast<E>(typinfo::AsEnum(v, GetEnumInfo(E{}), r)));
            },
            [get, def](TObject* o) -> std::optional<FormValue> {
                E x = std::invoke(get, Self(o));
                if (x == def) return std::nullopt;
                return FormValue::Ident(GetEnumInfo(E{}).names.at(static_cast<size_t>(x)));
            });
    }

    template <class E, class G, class S>
    PublishClass& SetOf(const char* name, G get, S set, Set<E> def) {
        return Add(name,
            [set](TObject* o, const FormValue& v, LayoutReader& r) {
                std::invoke(set, Self(o), Set<E>::FromBits(typinfo::AsSet(v, GetEnumInfo(E{}), r)));
            },
            [get, def](TObject* o) -> std::optional<FormValue> {
                Set<E> x = std::invoke(get, Self(o));
                if (x == def) return std::nullopt;
                return typinfo::SetValue(x.Bits(), GetEnumInfo(E{}));
            });
    }

    // A reference to another component of the layout, resolved by name
    // once the whole layout has been read.
    template <class T, class G, class S>
    PublishClass& Ref(const char* name, G get, S set) {
        std::string propName = name;
        return Add(name,
            [set, propName](TObject* o, const FormValue& v, LayoutReader& r) {
                C* self = Self(o);
                typinfo::AddFixup(r, [self, set, propName](TComponent* c) {
                    T* t = dynamic_cast<T*>(c);
                    if (t == nullptr)
                        throw EReadError(Format("Invalid property value: %s is not a %s", c->Name().c_str(),
                                                T::StaticClassName));
                    std::invoke(set, self, t);
                }, typinfo::AsString(v, r));
            },
            [get](TObject* o) -> std::optional<FormValue> {
                T* t = std::invoke(get, Self(o));
                if (t == nullptr || t->Name().empty()) return std::nullopt;
                // A component of another window is named through that window.
                auto* self = dynamic_cast<TComponent*>(o);
                TComponent* root = self != nullptr ? self->Owner() : nullptr;
                TComponent* home = t->Owner();
                if (root != nullptr && home != nullptr && home != root && t != root && !home->Name().empty())
                    return FormValue::Ident(home->Name() + "." + t->Name());
                return FormValue::Ident(t->Name());
            });
    }

    // An event, bound to a handler of the layout's root by name.
    template <class F>
    PublishClass& Event(const char* name, F C::*member) {
        std::string eventName = name;
        return Add(name,
            [member, eventName](TObject* o, const FormValue& v, LayoutReader& r) {
                std::any h = ResolveHandler(v, r);
                const F* f = std::any_cast<F>(&h);
                if (f == nullptr)
                    throw EReadError(Format("Handler %s does not fit event %s", v.s.c_str(), eventName.c_str()));
                Self(o)->*member = *f;
                if (auto* comp = dynamic_cast<TComponent*>(o)) comp->SetEventBinding(eventName, v.s);
            },
            [eventName](TObject* o) -> std::optional<FormValue> {
                auto* comp = dynamic_cast<TComponent*>(o);
                std::string h = comp != nullptr ? comp->EventBinding(eventName) : std::string();
                if (h.empty()) return std::nullopt;
                return FormValue::Ident(h);
            });
    }

    // An owned sub-object: a font, a string list, a collection; `stored`
    // tells whether it is written (always without one).
    template <class G>
    PublishClass& Object(const char* name, G get, std::function<bool(C*)> stored = nullptr) {
        PropInfo p;
        p.name = name;
        p.object = [get](TObject* o) -> TPersistent* { return std::invoke(get, Self(o)); };
        if (stored) p.stored = [stored](TObject* o) { return stored(Self(o)); };
        info_->props.push_back(std::move(p));
        return *this;
    }

    // Properties of a parent class that this class does not publish: a
    // layout may neither give nor receive them.
    PublishClass& Unpublish(std::initializer_list<const char*> names) {
        for (const char* name : names) {
            bool done = false;  // registered again
            for (const PropInfo& q : info_->props) done = done || (q.hidden && SameText(q.name, name));
            if (done) continue;
            if (info_->FindProp(name) == nullptr) throw EPropertyError(Format("Unpublish: no property %s", name));
            PropInfo p;
            p.name = name;
            p.hidden = true;
            info_->props.push_back(std::move(p));
        }
        return *this;
    }

    // A read-only property: a layout may name it, but the value it gives
    // is dropped, and nothing is written.
    PublishClass& ReadOnly(const char* name) {
        return Add(name, [](TObject*, const FormValue&, LayoutReader&) {}, nullptr);
    }

    PublishClass& Custom(const char* name, std::function<void(C*, const FormValue&, LayoutReader&)> read,
                          std::function<std::optional<FormValue>(C*)> write = nullptr) {
        return Add(name,
            [read](TObject* o, const FormValue& v, LayoutReader& r) { read(Self(o), v, r); },
            [write](TObject* o) -> std::optional<FormValue> {
                if (!write) return std::nullopt;
                return write(Self(o));
            });
    }

    // An older name of a property registered before: read, never written.
    PublishClass& Alias(const char* oldName, const char* newName) {
        const PropInfo* p = info_->FindProp(newName);
        if (p == nullptr) throw EPropertyError(Format("Alias %s: no property %s", oldName, newName));
        PropInfo a = *p;
        a.name = oldName;
        a.alias = true;
        a.write = nullptr;
        info_->props.push_back(std::move(a));
        return *this;
    }

    // A method of a form that layouts bind to events by name.
    template <class R, class... A>
    PublishClass& Handler(const char* name, R (C::*method)(A...)) {
        info_->handlers[typinfo::LowerName(name)] = [method](TObject* root) -> std::any {
            C* self = Self(root);
            return std::function<R(A...)>([self, method](A... args) -> R { return (self->*method)(std::forward<A>(args)...); });
        };
        return *this;
    }

    // A field of a form that is set to the layout's component of that name.
    template <class T>
    PublishClass& Field(const char* name, T* C::*member) {
        std::string fieldName = name;
        info_->fieldNames[typinfo::LowerName(name)] = fieldName;
        info_->fields[typinfo::LowerName(name)] = [member, fieldName](TObject* root, TComponent* c) {
            T* t = dynamic_cast<T*>(c);
            if (t == nullptr)
                throw EReadError(Format("Field %s: %s is not a %s", fieldName.c_str(), c->ClassName(), T::StaticClassName));
            Self(root)->*member = t;
        };
        return *this;
    }

    ClassInfo& Info() { return *info_; }

private:
    static C* Self(TObject* o) {
        C* c = dynamic_cast<C*>(o);
        if (c == nullptr) throw EPropertyError(Format("%s is not a %s", o->ClassName(), C::StaticClassName));
        return c;
    }
    static std::any ResolveHandler(const FormValue& v, LayoutReader& r);

    PublishClass& Add(const char* name, std::function<void(TObject*, const FormValue&, LayoutReader&)> read,
                       std::function<std::optional<FormValue>(TObject*)> write) {
        PropInfo p;
        p.name = name;
        p.read = std::move(read);
        p.write = std::move(write);
        info_->props.push_back(std::move(p));
        return *this;
    }

    ClassInfo* info_;
};

namespace typinfo {
std::any FindHandler(const FormValue& v, LayoutReader& r);
}

template <class C, class P>
std::any PublishClass<C, P>::ResolveHandler(const FormValue& v, LayoutReader& r) {
    return typinfo::FindHandler(v, r);
}

}  // namespace treskel
