#pragma once
// The shader text convention: a shader resource's text ends at its first
// '~'; only the bytes before it reach GL.

#include <cstddef>

enum class ShaderTextStatus { Ok, NoEndMarker, TooLong };

struct ShaderText {
    ShaderTextStatus status;
    // Bytes before the first '~' (0 when there is no '~').
    std::size_t length;
};

// Finds the first '~' within the size bytes of data. When at most limit
// bytes precede it, copies them into buffer followed by four zero bytes, so
// buffer must hold limit + 4 bytes; otherwise buffer is not written.
ShaderText extractShaderText(const unsigned char* data, std::size_t size, char* buffer, std::size_t limit);
