// OpenGL 1.1 and GLU headers, without pulling windows.h into the renderer.
#pragma once

#ifdef _WIN32
// The Windows GL headers want these two from windows.h; nothing else of it is needed.
#ifndef APIENTRY
#define APIENTRY __stdcall
#endif
#ifndef WINGDIAPI
#define WINGDIAPI __declspec(dllimport)
#endif
#ifndef CALLBACK
#define CALLBACK __stdcall
#endif
#endif

#include <GL/gl.h>
#include <GL/glu.h>
