// The OpenGL 1.x calls the game makes, drawn with WebGL 2: immediate mode gathered into one
// vertex buffer and drawn with one shader, BGR(A) pictures turned round at upload, mipmaps
// made where a texture asks for them, and lines as wide as asked, drawn as quads. What it makes
// in WebGL, textures with their pixels included, it can make again when the browser gives back
// a context it had lost.
#pragma once

// Makes the shader and the vertex buffer on the current WebGL context, whose drawing buffer is
// width x height pixels. Returns false when WebGL refuses them.
bool StartGlOnWebGl(int width, int height);

// After the browser has restored the lost context: makes the shader, the buffer and every
// texture again, under the names the game knows, and sets the state the game had set. Returns
// false when WebGL refuses the shader.
bool RestoreGlOnWebGl();
