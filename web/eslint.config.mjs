// The page's JavaScript and its tests, linted with ESLint's recommended rules. The
// page's scripts are classic scripts that share a few globals in the order
// index.html loads them: quellhart.js (the library, built) defines QuellhartModule,
// library.js the library's calls for app.js and the worker.
import js from '@eslint/js';
import globals from 'globals';

const kLibrary = { QuellhartModule: 'readonly' };
const kLibraryCalls = { LibraryError: 'readonly', openLocalLibrary: 'readonly',
  openQuellhartLibrary: 'readonly' };

export default [
  js.configs.recommended,
  {
    files: ['app.js'],
    languageOptions: { sourceType: 'script', globals: { ...globals.browser, ...kLibraryCalls } },
  },
  {
    files: ['library.js'],
    languageOptions: { sourceType: 'script', globals: { ...globals.browser, ...kLibrary } },
    // Defined here for the scripts loaded after it.
    rules: { 'no-unused-vars': ['error', { varsIgnorePattern: '^(LibraryError|openQuellhartLibrary)$' }] },
  },
  {
    files: ['library-worker.js'],
    languageOptions: { sourceType: 'script', globals: { ...globals.worker, ...kLibraryCalls } },
  },
  {
    files: ['sw.js'],
    languageOptions: { sourceType: 'script', globals: globals.serviceworker },
  },
  {
    // Node drives the browser; what runs inside page.evaluate is the browser's.
    files: ['tests/*.mjs', 'eslint.config.mjs'],
    languageOptions: { globals: { ...globals.node, ...globals.browser, axe: 'readonly' } },
  },
];
