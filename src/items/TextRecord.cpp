#include "items/TextRecord.h"

#include <atomic>

namespace velmora {

namespace {

std::atomic<double> lastVersion{0.0};

constexpr std::size_t kMaxKeyLength = 1023;

bool isKeySpace(int c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

} // namespace

double TextRecord::lastReadVersion() {
    return lastVersion.load();
}

void TextRecord::setLastReadVersion(double version) {
    lastVersion.store(version);
}

bool TextRecord::readKey(std::istream& in, std::string& key) {
    key.clear();
    std::size_t count = 0;
    std::istream::sentry ok(in, true);
    if (!ok)
        return false;
    std::streambuf* buffer = in.rdbuf();
    while (count < kMaxKeyLength) {
        const int c = buffer->sbumpc();
        if (c == std::char_traits<char>::eof()) {
            in.setstate(std::ios::eofbit);
            break;
        }
        ++count;
        if (c == '=')
            break;
        // The line break left over from the previous value and any blank lines vanish here.
        if (!isKeySpace(c))
            key += static_cast<char>(c);
    }
    if (count == 0) {
        in.setstate(std::ios::failbit);
        return false;
    }
    return true;
}

void TextRecord::skipToListStart(std::istream& in) {
    std::streambuf* buffer = in.rdbuf();
    if (!in.good() || buffer == nullptr)
        return;
    int c = buffer->sgetc();
    while (c == ' ' || c == '\t')
        c = buffer->snextc();
    for (;;) {
        if (c == '\r') {
            if (buffer->snextc() != '\n') {
                buffer->sungetc(); // a lone CR belongs to the entry
                return;
            }
            c = '\n';
        }
        if (c != '\n')
            break;
        c = buffer->snextc();
    }
    if (c == std::char_traits<char>::eof())
        in.setstate(std::ios::eofbit);
}

std::string TextRecord::readKey(std::istream& in) {
    std::string key;
    readKey(in, key);
    return key;
}

} // namespace velmora
