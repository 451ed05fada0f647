// An OpenGL that does nothing, so a benchmark measures the game's own work per frame.
#include "app/GL.h"

extern "C" {

void GLAPIENTRY glClear(GLbitfield) {}
void GLAPIENTRY glClearColor(GLclampf, GLclampf, GLclampf, GLclampf) {}
void GLAPIENTRY glViewport(GLint, GLint, GLsizei, GLsizei) {}
void GLAPIENTRY glEnable(GLenum) {}
void GLAPIENTRY glDisable(GLenum) {}
void GLAPIENTRY glBlendFunc(GLenum, GLenum) {}
void GLAPIENTRY glBindTexture(GLenum, GLuint) {}
void GLAPIENTRY glBegin(GLenum) {}
void GLAPIENTRY glEnd(void) {}
void GLAPIENTRY glColor3f(GLfloat, GLfloat, GLfloat) {}
void GLAPIENTRY glColor4f(GLfloat, GLfloat, GLfloat, GLfloat) {}
void GLAPIENTRY glColor4fv(const GLfloat*) {}
void GLAPIENTRY glTexCoord2f(GLfloat, GLfloat) {}
void GLAPIENTRY glVertex2f(GLfloat, GLfloat) {}
void GLAPIENTRY glLineWidth(GLfloat) {}
void GLAPIENTRY glHint(GLenum, GLenum) {}
void GLAPIENTRY glTexParameteri(GLenum, GLenum, GLint) {}
void GLAPIENTRY glTexImage2D(GLenum, GLint, GLint, GLsizei, GLsizei, GLint, GLenum, GLenum,
                             const GLvoid*) {}

void GLAPIENTRY glGenTextures(GLsizei n, GLuint* textures) {
    static GLuint next = 1;
    for (GLsizei i = 0; i < n; ++i) {
        textures[i] = next++;
    }
}

}  // extern "C"
