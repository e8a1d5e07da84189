// The save library in a thread of its own: the page's calls (library.js) arrive as
// messages, {id, method, args}, and go back as {id, result}, {id, error} for the
// library's own failures, or {id, unexpected} for anything else. Bytes handed back
// are moved to the page, not copied.
'use strict';
importScripts('quellhart.js', 'library.js');

const ready = openLocalLibrary();
self.onmessage = async ({ data: { id, method, args } }) => {
  const library = await ready;
  try {
    if (method === 'methods') return self.postMessage({ id, result: Object.keys(library) });
    const result = await library[method](...args);
    self.postMessage({ id, result }, result instanceof Uint8Array ? [result.buffer] : []);
  } catch (error) {
    if (error instanceof LibraryError) {
      self.postMessage({ id, error: { text: error.text, cause: error.cause } });
    } else {
      self.postMessage({ id, unexpected: String(error?.message ?? error) });
    }
  }
};
