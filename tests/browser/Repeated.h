#pragma once

#include <string>

// The piece written `times` times over: the stuff of pages built to be large or deep.
inline std::string repeated(const std::string& piece, int times) {
    std::string text;
    text.reserve(piece.size() * size_t(times));
    for (int i = 0; i < times; ++i)
        text += piece;
    return text;
}
