// ESLint for the web view, its browser tests and the load benchmark: the recommended rules,
// a few that catch real faults in this kind of code, and the layout the files are written in
// (two spaces, single quotes, semicolons).

import js from '@eslint/js';
import stylistic from '@stylistic/eslint-plugin';
import globals from 'globals';

// Emscripten's glue runs app/wasm/runtime.js, the page's PageSitting class that app/wasm/calls.py
// makes from calls.txt, and in the tests' build expose.js inside its module (--post-js): the
// module and its memory are in scope there, and the two functions every call goes through.
const glue = Object.fromEntries(['Module', 'HEAPU8', '_input_buffer', '_result_size'].map((name) => [name, 'readonly']));

export default [
  { ignores: ['build*/**', 'node_modules/**', 'tests/web/node_modules/**'] },
  js.configs.recommended,
  {
    files: ['**/*.js', '**/*.mjs'],
    languageOptions: { ecmaVersion: 2024, sourceType: 'module' },
    linterOptions: { reportUnusedDisableDirectives: 'error' },
    plugins: { '@stylistic': stylistic },
    rules: {
      eqeqeq: ['error', 'always', { null: 'ignore' }],
      'no-var': 'error',
      'prefer-const': 'error',
      'no-implicit-globals': 'error',
      'no-throw-literal': 'error',
      'no-unused-vars': ['error', { args: 'after-used', caughtErrors: 'all' }],
      'no-use-before-define': ['error', { functions: false, classes: false }],
      'no-promise-executor-return': 'error',
      'no-await-in-loop': 'off',
      'object-shorthand': 'error',
      'prefer-template': 'error',
      '@stylistic/indent': ['error', 2, { SwitchCase: 1 }],
      '@stylistic/quotes': ['error', 'single', { avoidEscape: true, allowTemplateLiterals: 'always' }],
      '@stylistic/semi': ['error', 'always'],
      '@stylistic/comma-dangle': ['error', 'always-multiline'],
      '@stylistic/no-trailing-spaces': 'error',
      '@stylistic/eol-last': 'error',
      '@stylistic/brace-style': ['error', '1tbs', { allowSingleLine: true }],
      '@stylistic/space-before-blocks': 'error',
      '@stylistic/keyword-spacing': 'error',
    },
  },
  // The page's own scripts run in the browser.
  { files: ['web/**/*.js'], languageOptions: { globals: globals.browser } },
  // The service worker runs in its own scope; the site's build writes in its list of files.
  { files: ['web/sw.js'], languageOptions: { globals: { ...globals.serviceworker, __FILES__: 'readonly' } } },
  // Scripts inside the glue, not modules: what runtime.js defines is the PageSitting class's.
  {
    files: ['app/wasm/runtime.js', 'tests/web/expose.js'],
    languageOptions: { sourceType: 'script', globals: { ...globals.browser, ...glue } },
  },
  // The tests, the site's build scripts and the benchmark run in node and hand functions to the page to run there.
  {
    files: ['tests/web/**/*.mjs', 'bench/**/*.mjs', 'scripts/**/*.mjs', 'eslint.config.js'],
    languageOptions: { globals: { ...globals.node, ...globals.browser } },
  },
];
