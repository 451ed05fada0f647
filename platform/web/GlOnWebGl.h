// The OpenGL 1.x calls the game makes, drawn with WebGL 2: immediate mode gathered into one
// vertex buffer and drawn with one shader, BGR(A) pictures turned round at upload, mipmaps
// made where a texture asks for them, and lines as wide as asked, drawn as quads.
#pragma once

// Makes the shader and the vertex buffer on the current WebGL context, whose drawing buffer is
// width x height pixels. Returns false when WebGL refuses them.
bool StartGlOnWebGl(int width, int height);
