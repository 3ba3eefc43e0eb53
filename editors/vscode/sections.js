// The sections of a text, for folding: a header (a bracketed word alone on its line) down to
// the last line with something on it before the next header.
'use strict';

const HEADER = /^[ \t]*\[[^[\],]*\][ \t]*$/;

// lines: the text of each line; returns [first, last] line indices of each section worth folding.
function sectionRanges(lines) {
  const ranges = [];
  let header = -1;
  let last = -1;
  const close = () => {
    if (header >= 0 && last > header) ranges.push([header, last]);
  };
  lines.forEach((text, i) => {
    if (HEADER.test(text)) {
      close();
      header = i;
      last = i;
    } else if (text.trim() !== '') {
      last = i;
    }
  });
  close();
  return ranges;
}

module.exports = { sectionRanges };
