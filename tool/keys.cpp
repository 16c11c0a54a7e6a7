#include "tool/keys.h"

#include "textutil/utf8.h"
#include "tool/textmatch.h"
#include "winsys/wsdefs.h"

#include <cstring>

namespace {

struct NamedKey {
    const char* name;
    uint32_t vkey;
    bool extended;
};

const NamedKey kNamedKeys[] = {
    {"Enter", vk::RETURN, false},   {"Tab", vk::TAB, false},       {"Esc", vk::ESCAPE, false},
    {"Backspace", vk::BACK, false}, {"Delete", vk::DELETE_, true}, {"Insert", vk::INSERT, true},
    {"Up", vk::UP, true},           {"Down", vk::DOWN, true},      {"Left", vk::LEFT, true},
    {"Right", vk::RIGHT, true},     {"Home", vk::HOME, true},      {"End", vk::END, true},
    {"PgUp", vk::PRIOR, true},      {"PgDn", vk::NEXT, true},      {"Space", vk::SPACE, false},
};

// The key a name stands for (a named key, F1..F12, or with allowChar a
// single letter or digit); false for none.
bool KeyOf(const std::string& name, bool allowChar, NamedKey* key) {
    for (const NamedKey& k : kNamedKeys)
        if (EqualsCi(name.c_str(), k.name)) return *key = k, true;
    for (uint32_t n = 1; n <= 12; ++n)
        if (EqualsCi(name.c_str(), ("F" + std::to_string(n)).c_str()))
            return *key = {"", vk::F1 + n - 1, false}, true;
    if (allowChar && name.size() == 1) {
        const char c = name[0];
        if (c >= 'a' && c <= 'z') return *key = {"", uint32_t(c - 'a' + 'A'), false}, true;
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
            return *key = {"", uint32_t(c), false}, true;
    }
    return false;
}

bool IsCharKey(uint32_t vkey) {
    return (vkey >= 'A' && vkey <= 'Z') || (vkey >= '0' && vkey <= '9');
}

// Writes the messages of one key combination (mods: VK_CONTROL, VK_MENU,
// VK_SHIFT in the order written).
class CKeyWriter {
public:
    CKeyWriter(CWinSys& ws, std::vector<TypedMessage>& out) : ws_(ws), out_(out) {}

    void Combination(const std::vector<uint32_t>& mods, const NamedKey& key) {
        for (uint32_t m : mods) Press(m, false, true);
        if (!IsCharKey(key.vkey) || (alt_ && !ctrl_)) {
            Press(key.vkey, key.extended, true);
            Press(key.vkey, key.extended, false);
        } else if (const uint32_t c = CharOf(key.vkey)) {
            out_.push_back({wm::CHAR, c, LParam(key.vkey, false, false)});
        }
        for (auto m = mods.rbegin(); m != mods.rend(); ++m) Press(*m, false, false);
    }

private:
    intptr_t LParam(uint32_t vkey, bool extended, bool release) {
        uint32_t l = 1 | ((ws_.MapVirtualKeyA(vkey, mapvk::VK_TO_VSC) & 0xFF) << 16);
        if (extended) l |= keyflag::EXTENDED;
        if (alt_) l |= keyflag::ALTDOWN;
        if (release) l |= keyflag::WASDOWN | keyflag::RELEASED;
        return intptr_t(l);
    }
    // A key-down is sent with the state after it, a key-up with the state
    // before it.
    void Press(uint32_t vkey, bool extended, bool down) {
        if (down) Hold(vkey, true);
        const bool sys = alt_ && !ctrl_;
        const uint32_t msg =
            down ? (sys ? wm::SYSKEYDOWN : wm::KEYDOWN) : (sys ? wm::SYSKEYUP : wm::KEYUP);
        out_.push_back({msg, vkey, LParam(vkey, extended, !down)});
        if (!down) Hold(vkey, false);
    }
    void Hold(uint32_t vkey, bool held) {
        if (vkey == vk::CONTROL) ctrl_ = held;
        if (vkey == vk::MENU) alt_ = held;
        if (vkey == vk::SHIFT) shift_ = held;
    }
    // The character a letter or digit key makes with the modifiers held
    // (US layout; Alt alone never comes here); 0 for none.
    uint32_t CharOf(uint32_t vkey) const {
        static const char kShiftedDigits[] = ")!@#$%^&*(";
        const bool letter = vkey >= 'A' && vkey <= 'Z';
        if (ctrl_) return letter && !alt_ ? vkey - 'A' + 1 : 0;
        if (shift_) return letter ? vkey : uint32_t((unsigned char)kShiftedDigits[vkey - '0']);
        return letter ? vkey - 'A' + 'a' : vkey;
    }

    CWinSys& ws_;
    std::vector<TypedMessage>& out_;
    bool ctrl_ = false, alt_ = false, shift_ = false;
};

// Reads a brace's name: a key or a combination; false when it is none.
bool ReadCombination(const std::string& name, std::vector<uint32_t>* mods, NamedKey* key) {
    size_t start = 0;
    for (;;) {
        const size_t plus = name.find('+', start);
        const std::string part =
            name.substr(start, plus == std::string::npos ? plus : plus - start);
        if (plus == std::string::npos) return KeyOf(part, !mods->empty(), key);
        if (EqualsCi(part.c_str(), "Ctrl"))
            mods->push_back(vk::CONTROL);
        else if (EqualsCi(part.c_str(), "Alt"))
            mods->push_back(vk::MENU);
        else if (EqualsCi(part.c_str(), "Shift"))
            mods->push_back(vk::SHIFT);
        else
            return false;
        start = plus + 1;
    }
}

} // namespace

std::vector<uint32_t> Utf8CodePoints(const char* text) {
    std::vector<uint32_t> points;
    size_t left = std::strlen(text);
    while (left > 0) {
        uint32_t cp = 0;
        size_t n = Utf8Decode(text, left, &cp);
        // U+FFFD stands for a sequence that is no character, unless it is
        // written out itself.
        if (cp == kReplacementChar && !(n == 3 && std::memcmp(text, "\xEF\xBF\xBD", 3) == 0)) {
            cp = static_cast<unsigned char>(*text);
            n = 1;
        }
        points.push_back(cp);
        text += n;
        left -= n;
    }
    return points;
}

bool TypedMessages(CWinSys& ws, const char* text, std::vector<TypedMessage>* out,
                   std::string* error) {
    const std::vector<uint32_t> points = Utf8CodePoints(text);
    std::vector<TypedMessage> typed;
    CKeyWriter writer(ws, typed);
    for (size_t i = 0; i < points.size(); ++i) {
        if (points[i] != '{') {
            typed.push_back({wm::CHAR, points[i], 1});
            continue;
        }
        // "{}}" is the closing brace; any other name ends at the first '}'.
        size_t end = i + 1;
        if (end + 1 < points.size() && points[end] == '}' && points[end + 1] == '}') ++end;
        while (end < points.size() && points[end] != '}') ++end;
        if (end >= points.size()) {
            *error = "'{' without '}'";
            return false;
        }
        std::string name;
        bool ascii = true;
        for (size_t k = i + 1; k < end; ++k) {
            ascii = ascii && points[k] < 0x80;
            name += char(points[k] & 0x7F);
        }
        if (ascii && (name == "{" || name == "}")) {
            typed.push_back({wm::CHAR, uint32_t(name[0]), 1});
        } else {
            std::vector<uint32_t> mods;
            NamedKey key{};
            if (!ascii || !ReadCombination(name, &mods, &key)) {
                *error = "unknown key {" + name + "}";
                return false;
            }
            writer.Combination(mods, key);
        }
        i = end;
    }
    *out = std::move(typed);
    return true;
}
