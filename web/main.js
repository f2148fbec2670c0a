// Starts the window: loads the window logic (WebAssembly) and the fonts, and lets the page's
// controller (page.js) take over the window index.html shows as designed.
// ?case=CODE plays that case code's customers (the same as on the desktop); ?seed=N (1 or
// more) plays the code of number N (tests, demonstrations).

// Every control's design, as the window logic gives it (written when the site is built).
import design from './design.js';
import createTrainer from './trainer.js';
import { PageController } from './page.js';
import { LmsLink } from './lms.js';

const params = new URLSearchParams(location.search);
const page = new PageController(design, document.getElementById('stage'), {
  seeded: Number(params.get('seed')) || 0,
  caseText: params.get('case') ?? '',
  // Opened from a school's learning system: its link (null elsewhere).
  lms: LmsLink.open(window),
});

performance.mark('trainer-script');
const Trainer = await createTrainer({
  // Instantiates the module that index.html began compiling.
  instantiateWasm(imports, receive) {
    window.trainerWasm
      .then((module) => WebAssembly.instantiate(module, imports))
      .then((instance) => receive(instance));
    return {};
  },
});

performance.mark('trainer-loaded');
// The window is taken over at once, whether it shows yet or not. The page shows when its faces
// are there (index.html): where the window logic ran first, it is laid out only once, as the
// customer's window; where the faces came first, the window as designed has been painted
// meanwhile. The focus can go to the window only once it shows.
page.begin(Trainer, document.getElementById('Form1'));
await window.trainerFonts;
page.focusFirst();
document.documentElement.dataset.ready = 'true';
performance.mark('trainer-interactive');

// The panel is no part of the window's first load: it comes after the window's first frame.
page.addPanel();

if ('serviceWorker' in navigator && params.get('sw') !== 'off') navigator.serviceWorker.register('sw.js');
