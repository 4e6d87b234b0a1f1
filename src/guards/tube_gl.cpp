// tube_gl.cpp -- drawing a tube's side strips and cap fans
#include "guards/tube_gl.h"

#include <GL/gl.h>

namespace Badguy {

namespace {

void send(const tubearrays& tube, int k, bool textured)
{
    glNormal3dv(tube.n[k].data());
    if (textured) glTexCoord2dv(tube.t[k].data());
    glVertex3dv(tube.v[k].data());
}

void side(const tubearrays& tube, int n, bool textured)
{
    const int rings = (static_cast<int>(tube.v.size()) - 2) / (n + 1);
    for (int r = 1; r < rings; ++r) {
        const int a = (r - 1) * (n + 1) + 1;
        const int b = r * (n + 1) + 1;
        glBegin(GL_TRIANGLE_STRIP);
            for (int j = 0; j <= n; ++j) {
                send(tube, a + j, textured);
                send(tube, b + j, textured);
            }
        glEnd();
    }
}

void firstcap(const tubearrays& tube, int n, bool textured)
{
    glBegin(GL_TRIANGLE_FAN);
        send(tube, 0, textured);
        for (int k = 1; k <= n + 1; ++k) send(tube, k, textured);
    glEnd();
}

void lastcap(const tubearrays& tube, int n, bool textured)
{
    const int m = static_cast<int>(tube.v.size());
    glBegin(GL_TRIANGLE_FAN);
        send(tube, m - 1, textured);
        for (int k = m - 2; k >= m - 2 - n; --k) send(tube, k, textured);
    glEnd();
}

}  // namespace

void drawopentube(const tubearrays& tube, int n) { side(tube, n, false); }
void drawopentubetex(const tubearrays& tube, int n) { side(tube, n, true); }
void drawfirstcap(const tubearrays& tube, int n) { firstcap(tube, n, false); }
void drawfirstcaptex(const tubearrays& tube, int n) { firstcap(tube, n, true); }
void drawlastcap(const tubearrays& tube, int n) { lastcap(tube, n, false); }
void drawlastcaptex(const tubearrays& tube, int n) { lastcap(tube, n, true); }

}  // namespace Badguy
