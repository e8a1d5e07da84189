// Checks both browser drivers run inside the page (playwright's and puppeteer's
// evaluate take the function itself).

// How many lines the element's text stands on: a name broken inside a word stands on
// two or more.
export function linesOfText(element) {
  const range = document.createRange();
  range.selectNodeContents(element);
  return new Set([...range.getClientRects()].map((r) => Math.round(r.top))).size;
}
