#pragma once

#include "core/text.h"

namespace lumora {

/// One kept board post, as the parsers cut it out of a list page. The fields
/// keep whatever white space the page had around them (nothing is trimmed).
struct PostRecord {
    Text title;     // tags stripped
    Text spare;     // always empty
    Text category;  // tags stripped
    Text author;    // tags stripped
    Text link;      // absolute address of the post

    friend bool operator==(const PostRecord&, const PostRecord&) = default;
};

}  // namespace lumora
