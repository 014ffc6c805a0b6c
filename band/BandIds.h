#pragma once

#include <windows.h>

// The band's own identifiers: its class (the shell creates it by this) and its type library.
// They never change, or an installed band would stop loading.
inline constexpr GUID CLSID_QuorvaneBand = {
    0x83F0B1CE, 0x16FE, 0x4401, {0xA4, 0x46, 0x2F, 0xD0, 0xEF, 0xFB, 0x3C, 0xC1}};
inline constexpr GUID LIBID_QuorvaneBand = {
    0x0621ECA1, 0x3037, 0x4B34, {0x8B, 0x73, 0x15, 0xFF, 0xBE, 0xC9, 0xF7, 0xF1}};

// The shell's category of desk bands.
inline constexpr const char* kDeskBandCategory = "{00021492-0000-0000-C000-000000000046}";
