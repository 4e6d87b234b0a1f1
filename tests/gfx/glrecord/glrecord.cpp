// glrecord.cpp -- the recording GL/GLU stand-in (see glrecord.h)
#include "glrecord.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <initializer_list>

namespace glrec {

std::vector<glcall>& log()
{
    static std::vector<glcall> calls;
    return calls;
}

void clear() { log().clear(); }

int count(const std::string& name)
{
    int n = 0;
    for (const glcall& c : log())
        if (c.name == name) ++n;
    return n;
}

std::vector<glcall> calls(const std::string& name)
{
    std::vector<glcall> out;
    for (const glcall& c : log())
        if (c.name == name) out.push_back(c);
    return out;
}

int vertexcount()
{
    int n = 0;
    for (const glcall& c : log())
        if (c.name.rfind("glVertex", 0) == 0) ++n;
    return n;
}

std::vector<unsigned char>& teximagebuf()
{
    static std::vector<unsigned char> bytes;
    return bytes;
}

const std::vector<unsigned char>& teximage() { return teximagebuf(); }

}  // namespace glrec

namespace {

void rec(const char* name, std::initializer_list<double> args) { glrec::log().push_back({name, args}); }

template <class T> void recv(const char* name, std::initializer_list<double> head, const T* v, int n)
{
    glcall c{name, head};
    for (int i = 0; i < n; ++i) c.args.push_back(static_cast<double>(v[i]));
    glrec::log().push_back(c);
}

int paramcount(GLenum pname)
{
    switch (pname) {
    case GL_SHININESS: case GL_FOG_DENSITY: case GL_FOG_START: case GL_FOG_END: case GL_FOG_MODE:
    case GL_SPOT_EXPONENT: case GL_SPOT_CUTOFF: case GL_CONSTANT_ATTENUATION:
    case GL_LINEAR_ATTENUATION: case GL_QUADRATIC_ATTENUATION: case GL_LIGHT_MODEL_TWO_SIDE:
    case GL_LIGHT_MODEL_LOCAL_VIEWER: case GL_FOG_INDEX:
        return 1;
    case GL_SPOT_DIRECTION: case GL_COLOR_INDEXES:
        return 3;
    default:
        return 4;
    }
}

GLuint nextlist = 1;
GLuint nexttexture = 1;

}  // namespace

extern "C" {

void glBegin(GLenum mode) { rec("glBegin", {double(mode)}); }
void glEnd(void) { rec("glEnd", {}); }
void glVertex2d(GLdouble x, GLdouble y) { rec("glVertex2d", {x, y}); }
void glVertex2f(GLfloat x, GLfloat y) { rec("glVertex2f", {x, y}); }
void glVertex2i(GLint x, GLint y) { rec("glVertex2i", {double(x), double(y)}); }
void glVertex3d(GLdouble x, GLdouble y, GLdouble z) { rec("glVertex3d", {x, y, z}); }
void glVertex3f(GLfloat x, GLfloat y, GLfloat z) { rec("glVertex3f", {x, y, z}); }
void glVertex3dv(const GLdouble* v) { recv("glVertex3dv", {}, v, 3); }
void glVertex3fv(const GLfloat* v) { recv("glVertex3fv", {}, v, 3); }
void glNormal3d(GLdouble x, GLdouble y, GLdouble z) { rec("glNormal3d", {x, y, z}); }
void glNormal3f(GLfloat x, GLfloat y, GLfloat z) { rec("glNormal3f", {x, y, z}); }
void glNormal3dv(const GLdouble* v) { recv("glNormal3dv", {}, v, 3); }
void glNormal3fv(const GLfloat* v) { recv("glNormal3fv", {}, v, 3); }
void glTexCoord2d(GLdouble s, GLdouble t) { rec("glTexCoord2d", {s, t}); }
void glTexCoord2f(GLfloat s, GLfloat t) { rec("glTexCoord2f", {s, t}); }
void glTexCoord2dv(const GLdouble* v) { recv("glTexCoord2dv", {}, v, 2); }
void glTexCoord2fv(const GLfloat* v) { recv("glTexCoord2fv", {}, v, 2); }
void glColor3d(GLdouble r, GLdouble g, GLdouble b) { rec("glColor3d", {r, g, b}); }
void glColor3f(GLfloat r, GLfloat g, GLfloat b) { rec("glColor3f", {r, g, b}); }
void glColor4d(GLdouble r, GLdouble g, GLdouble b, GLdouble a) { rec("glColor4d", {r, g, b, a}); }
void glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) { rec("glColor4f", {r, g, b, a}); }
void glColor3dv(const GLdouble* v) { recv("glColor3dv", {}, v, 3); }
void glColor3fv(const GLfloat* v) { recv("glColor3fv", {}, v, 3); }
void glColor4dv(const GLdouble* v) { recv("glColor4dv", {}, v, 4); }
void glColor4fv(const GLfloat* v) { recv("glColor4fv", {}, v, 4); }
void glMaterialf(GLenum face, GLenum pname, GLfloat p) { rec("glMaterialf", {double(face), double(pname), p}); }
void glMateriali(GLenum face, GLenum pname, GLint p) { rec("glMateriali", {double(face), double(pname), double(p)}); }
void glMaterialfv(GLenum face, GLenum pname, const GLfloat* v)
{
    recv("glMaterialfv", {double(face), double(pname)}, v, paramcount(pname));
}
void glLightf(GLenum light, GLenum pname, GLfloat p) { rec("glLightf", {double(light), double(pname), p}); }
void glLighti(GLenum light, GLenum pname, GLint p) { rec("glLighti", {double(light), double(pname), double(p)}); }
void glLightfv(GLenum light, GLenum pname, const GLfloat* v)
{
    recv("glLightfv", {double(light), double(pname)}, v, paramcount(pname));
}
void glLightModelfv(GLenum pname, const GLfloat* v) { recv("glLightModelfv", {double(pname)}, v, paramcount(pname)); }
void glLightModeli(GLenum pname, GLint p) { rec("glLightModeli", {double(pname), double(p)}); }
void glFogi(GLenum pname, GLint p) { rec("glFogi", {double(pname), double(p)}); }
void glFogf(GLenum pname, GLfloat p) { rec("glFogf", {double(pname), p}); }
void glFogfv(GLenum pname, const GLfloat* v) { recv("glFogfv", {double(pname)}, v, paramcount(pname)); }
void glEnable(GLenum cap) { rec("glEnable", {double(cap)}); }
void glDisable(GLenum cap) { rec("glDisable", {double(cap)}); }
GLboolean glIsEnabled(GLenum cap)
{
    rec("glIsEnabled", {double(cap)});
    return GL_FALSE;
}
void glShadeModel(GLenum mode) { rec("glShadeModel", {double(mode)}); }
void glDepthMask(GLboolean flag) { rec("glDepthMask", {double(flag)}); }
void glDepthFunc(GLenum func) { rec("glDepthFunc", {double(func)}); }
void glBlendFunc(GLenum s, GLenum d) { rec("glBlendFunc", {double(s), double(d)}); }
void glColorMask(GLboolean r, GLboolean g, GLboolean b, GLboolean a)
{
    rec("glColorMask", {double(r), double(g), double(b), double(a)});
}
void glCullFace(GLenum mode) { rec("glCullFace", {double(mode)}); }
void glFrontFace(GLenum mode) { rec("glFrontFace", {double(mode)}); }
void glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) { rec("glClearColor", {r, g, b, a}); }
void glClear(GLbitfield mask) { rec("glClear", {double(mask)}); }
void glViewport(GLint x, GLint y, GLsizei w, GLsizei h) { rec("glViewport", {double(x), double(y), double(w), double(h)}); }
void glMatrixMode(GLenum mode) { rec("glMatrixMode", {double(mode)}); }
void glLoadIdentity(void) { rec("glLoadIdentity", {}); }
void glPushMatrix(void) { rec("glPushMatrix", {}); }
void glPopMatrix(void) { rec("glPopMatrix", {}); }
void glTranslated(GLdouble x, GLdouble y, GLdouble z) { rec("glTranslated", {x, y, z}); }
void glTranslatef(GLfloat x, GLfloat y, GLfloat z) { rec("glTranslatef", {x, y, z}); }
void glRotated(GLdouble a, GLdouble x, GLdouble y, GLdouble z) { rec("glRotated", {a, x, y, z}); }
void glRotatef(GLfloat a, GLfloat x, GLfloat y, GLfloat z) { rec("glRotatef", {a, x, y, z}); }
void glScaled(GLdouble x, GLdouble y, GLdouble z) { rec("glScaled", {x, y, z}); }
void glScalef(GLfloat x, GLfloat y, GLfloat z) { rec("glScalef", {x, y, z}); }
void glFrustum(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f)
{
    rec("glFrustum", {l, r, b, t, n, f});
}
void glOrtho(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f) { rec("glOrtho", {l, r, b, t, n, f}); }
void glMultMatrixd(const GLdouble* m) { recv("glMultMatrixd", {}, m, 16); }
void glMultMatrixf(const GLfloat* m) { recv("glMultMatrixf", {}, m, 16); }
GLuint glGenLists(GLsizei range)
{
    GLuint base = nextlist;
    nextlist += static_cast<GLuint>(range);
    rec("glGenLists", {double(range), double(base)});
    return base;
}
void glNewList(GLuint list, GLenum mode) { rec("glNewList", {double(list), double(mode)}); }
void glEndList(void) { rec("glEndList", {}); }
void glCallList(GLuint list) { rec("glCallList", {double(list)}); }
void glGenTextures(GLsizei n, GLuint* textures)
{
    for (GLsizei i = 0; i < n; ++i) textures[i] = nexttexture++;
    rec("glGenTextures", {double(n), double(textures[0])});
}
void glBindTexture(GLenum target, GLuint texture) { rec("glBindTexture", {double(target), double(texture)}); }
void glDeleteTextures(GLsizei n, const GLuint* textures) { recv("glDeleteTextures", {double(n)}, textures, n); }
void glTexParameteri(GLenum target, GLenum pname, GLint p) { rec("glTexParameteri", {double(target), double(pname), double(p)}); }
void glTexParameterf(GLenum target, GLenum pname, GLfloat p) { rec("glTexParameterf", {double(target), double(pname), p}); }
void glTexEnvi(GLenum target, GLenum pname, GLint p) { rec("glTexEnvi", {double(target), double(pname), double(p)}); }
void glTexEnvf(GLenum target, GLenum pname, GLfloat p) { rec("glTexEnvf", {double(target), double(pname), p}); }
void glPixelStorei(GLenum pname, GLint p) { rec("glPixelStorei", {double(pname), double(p)}); }
void glTexImage2D(GLenum target, GLint level, GLint internal, GLsizei w, GLsizei h, GLint border, GLenum format,
                  GLenum type, const GLvoid*)
{
    rec("glTexImage2D", {double(target), double(level), double(internal), double(w), double(h), double(border),
                         double(format), double(type)});
}
void glFinish(void) { rec("glFinish", {}); }
void glFlush(void) { rec("glFlush", {}); }
void glHint(GLenum target, GLenum mode) { rec("glHint", {double(target), double(mode)}); }
GLenum glGetError(void) { return GL_NO_ERROR; }
const GLubyte* glGetString(GLenum) { return reinterpret_cast<const GLubyte*>("glrecord"); }
void glGetIntegerv(GLenum pname, GLint* v)
{
    rec("glGetIntegerv", {double(pname)});
    for (int i = 0; i < 4; ++i) v[i] = 0;
}
void glGetFloatv(GLenum pname, GLfloat* v)
{
    rec("glGetFloatv", {double(pname)});
    for (int i = 0; i < 16; ++i) v[i] = 0.0f;
}
void glGetDoublev(GLenum pname, GLdouble* v)
{
    rec("glGetDoublev", {double(pname)});
    for (int i = 0; i < 16; ++i) v[i] = 0.0;
}
void glReadPixels(GLint x, GLint y, GLsizei w, GLsizei h, GLenum format, GLenum type, GLvoid*)
{
    rec("glReadPixels", {double(x), double(y), double(w), double(h), double(format), double(type)});
}
void glRectd(GLdouble x1, GLdouble y1, GLdouble x2, GLdouble y2) { rec("glRectd", {x1, y1, x2, y2}); }

GLint gluBuild2DMipmaps(GLenum target, GLint internal, GLsizei w, GLsizei h, GLenum format, GLenum type,
                        const void* data)
{
    if (format == GL_RGB && type == GL_UNSIGNED_BYTE && data && w > 0 && h > 0) {
        const unsigned char* p = static_cast<const unsigned char*>(data);
        glrec::teximagebuf().assign(p, p + static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 3);
    }
    rec("gluBuild2DMipmaps", {double(target), double(internal), double(w), double(h), double(format), double(type)});
    return 0;
}
void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble n, GLdouble f) { rec("gluPerspective", {fovy, aspect, n, f}); }
void gluOrtho2D(GLdouble l, GLdouble r, GLdouble b, GLdouble t) { rec("gluOrtho2D", {l, r, b, t}); }

}  // extern "C"
