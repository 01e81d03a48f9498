#pragma once
// The topics of the help program, read from their text file.
//
// The file is UTF-8 (a byte order mark is skipped); lines end in LF or CRLF.
//
//   == Title        starts a topic
//   text            the lines of a paragraph are joined with one blank
//   (empty line)    ends a paragraph; several count as one
//   - item          a list item: a line of its own that begins with a bullet;
//                   the lines after it continue it
//       verbatim    four or more leading blanks (or a tab): the line stands on
//                   its own as written (commands, paths)
//
// Lines before the first heading are notes for whoever edits the file and are
// not shown. A body comes back with CRLF line breaks, as a multi-line edit box
// wants them, without blank lines at either end.
#include <string>
#include <string_view>
#include <vector>

namespace pondex::help {

struct Topic {
  std::string title;  // UTF-8
  std::string body;   // UTF-8, CRLF line breaks
};

std::vector<Topic> parseTopics(std::string_view text);

}  // namespace pondex::help
