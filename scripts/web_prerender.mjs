// Renders the window as designed into HTML at site build time: the page's own view code
// (view.js) builds it in chromium from the design and the state that the window logic
// printed, so that index.html shows the window before the WebAssembly has arrived.
//
//   node scripts/web_prerender.mjs SITE_DIR PAGE_DATA_JSON > window.html

import { readFile, rm, writeFile } from 'node:fs/promises';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
const { launch, serve } = await import(path.join(here, '../tests/web/support.mjs'));

const [site, dataFile] = process.argv.slice(2);
const data = JSON.parse(await readFile(dataFile, 'utf8'));
const scratch = path.join(site, 'prerender.html');
await writeFile(scratch, '<!doctype html><html lang="ja"><body><div id="stage"></div></body></html>');
const server = await serve(path.resolve(site));
const browser = await launch();
try {
  const page = await (await browser.newContext()).newPage();
  await page.goto(`${server.url}prerender.html`);
  const html = await page.evaluate(async ({ design, state }) => {
    const { WindowView } = await import('./view.js');
    const stage = document.getElementById('stage');
    new WindowView(design, stage, () => {}).mirror(state);
    // What is set as a property and not kept in the markup by itself.
    for (const input of stage.querySelectorAll('input')) input.defaultChecked = input.checked;
    return stage.innerHTML;
  }, data);
  process.stdout.write(`${html}\n`);
} finally {
  await browser.close();
  await server.close();
  await rm(scratch);
}
