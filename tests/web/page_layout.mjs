// The page's layout of its canvas against the table of sizes the desktop's letterbox is tested
// with (tests/platform/display/fit_sizes.txt), so the page snaps to whole pixels where a desktop
// window does. The page's script runs in a context of its own with just enough of a browser
// around it: a viewport, a canvas and a pixel ratio.
//
// node page_layout.mjs WEB/tarvel-page.js fit_sizes.txt
import fs from 'node:fs';
import vm from 'node:vm';

const [pageFile, tableFile] = process.argv.slice(2);

// Anything the script touches at its start and is not asked about here: calls, property reads
// and `new` all give another of it.
const anything = () =>
  new Proxy(function () {}, {
    get: (target, key) => (key === Symbol.toPrimitive ? () => 0 : anything()),
    apply: () => anything(),
    construct: () => anything(),
  });

const canvas = { width: 0, height: 0, style: {}, getContext: anything, addEventListener: () => undefined };
const root = { clientWidth: 0, clientHeight: 0 };
const document = anything();
const browser = {
  document: new Proxy(document, {
    get: (target, key) =>
      key === 'documentElement' ? root
        : key === 'getElementById' ? (id) => (id === 'screen' ? canvas : anything())
        : key === 'visibilityState' ? 'visible'
        : target[key],
  }),
  navigator: {},
  location: anything(),
  console,
  performance,
  setTimeout: () => 0,
  clearTimeout: () => undefined,
  addEventListener: () => undefined,
  devicePixelRatio: 1,
};
browser.window = browser;
const context = vm.createContext(browser);
vm.runInContext(fs.readFileSync(pageFile, 'utf8'), context, { filename: pageFile });
const page = vm.runInContext('TarvelPage', context);

let failures = 0;
const rows = fs.readFileSync(tableFile, 'utf8').split('\n').filter((line) => /^\d/.test(line));
for (const row of rows) {
  const [width, height, ratio, deviceWidth, deviceHeight, imageWidth, imageHeight] = row
    .trim().split(/\s+/).map(Number);
  root.clientWidth = width / ratio;
  root.clientHeight = height / ratio;
  browser.devicePixelRatio = ratio;
  canvas.width = deviceWidth;
  canvas.height = deviceHeight;
  page.layout();
  const shown = [canvas.style.width, canvas.style.height].map((css) => Math.floor(parseFloat(css) * ratio + 1e-9));
  if (shown[0] !== imageWidth || shown[1] !== imageHeight) {
    console.error(`${row}: the page shows ${shown[0]} x ${shown[1]}`);
    ++failures;
  }
}
if (rows.length === 0) {
  console.error(`${tableFile}: no sizes`);
  ++failures;
}
console.log(`${rows.length - failures} of ${rows.length} sizes laid out as on the desktop`);
process.exit(failures === 0 ? 0 : 1);
