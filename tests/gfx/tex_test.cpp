// tex_test.cpp -- texture parameters at start-up
#include <GL/gl.h>
#include <gtest/gtest.h>

#include "glrecord.h"
#include "render/tex.h"

TEST(Tex, SetparamSetsTheFourParametersInOrder)
{
    glrec::clear();
    Tex::setparam();
    auto c = glrec::calls("glTexParameteri");
    ASSERT_EQ(c.size(), 4u);
    const double expect[4][2] = {{GL_TEXTURE_MAG_FILTER, GL_LINEAR},
                                 {GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR},
                                 {GL_TEXTURE_WRAP_S, GL_REPEAT},
                                 {GL_TEXTURE_WRAP_T, GL_REPEAT}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(c[i].args[0], GL_TEXTURE_2D);
        EXPECT_EQ(c[i].args[1], expect[i][0]);
        EXPECT_EQ(c[i].args[2], expect[i][1]);
    }
    EXPECT_EQ(glrec::count("glBindTexture"), 0);
}
