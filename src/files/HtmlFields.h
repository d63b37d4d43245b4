// Fields as flashcard programs that show HTML keep them: line breaks as
// <br>, the characters HTML gives a meaning as entities.
#pragma once

#include <string>
#include <string_view>

namespace rvm {

// Every line break (CR LF, CR or LF) becomes <br>; &, < and > become entities.
std::string HtmlFromText(std::string_view text);

// The text of an HTML field: <br> and the edges of <div> and <p> become
// line breaks (CR LF), other tags are dropped, named and numeric entities
// are decoded. A '<' or '&' that starts no tag or entity stays as it is.
std::string TextFromHtml(std::string_view html);

}  // namespace rvm
