// The classic 16-colour palette the views pick their pen colours from.
#pragma once

#include <cstdint>

namespace tavo {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
};

// Colour of palette index 0..15; any other index gives black.
constexpr Rgb palette_rgb(int index) {
    constexpr Rgb table[16] = {{0, 0, 0},       {0, 0, 128},   {0, 128, 0},   {0, 128, 128},
                               {128, 0, 0},     {128, 0, 128}, {128, 128, 0}, {192, 192, 192},
                               {128, 128, 128}, {0, 0, 255},   {0, 255, 0},   {0, 255, 255},
                               {255, 0, 0},     {255, 0, 255}, {255, 255, 0}, {255, 255, 255}};
    return (index >= 0 && index < 16) ? table[index] : Rgb{};
}

// The palette indexes the views use.
constexpr int kBlack = 0;
constexpr int kLightBlue = 9;
constexpr int kLightRed = 12;
constexpr int kLightMagenta = 13;
constexpr int kYellow = 14;

}  // namespace tavo
