// A picture that can be read from and written to a named file.
#pragma once

#include "resources/String.h"

class Image {
public:
    virtual bool Load(String name) = 0;
    virtual bool Save(String name) = 0;

protected:
    // Images are members of their owners and destroyed as what they are, never through Image.
    ~Image() = default;
};
