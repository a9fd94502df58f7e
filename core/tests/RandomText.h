#pragma once
// Random texts for the bad-input tests, from a fixed-seed generator.
#include <random>
#include <string>
#include <string_view>

// length characters, each drawn from the alphabet.
inline std::string RandomText(std::mt19937& random, std::string_view alphabet, size_t length)
{
    std::string text;
    text.reserve(length);
    for (; length > 0; --length)
        text += alphabet[random() % alphabet.size()];
    return text;
}
