// Looks at the game's canvas from inside the page, for the browser test: colours, counts and
// centres computed where the pixels are, so that only small answers cross the protocol. Loaded
// into every document the test opens.
window.TarvelProbe = {
  image() {
    const canvas = document.getElementById('screen');
    if (!canvas || canvas.hidden || !canvas.width) return null;
    const context = canvas.getContext('2d');
    return { width: canvas.width, height: canvas.height,
      data: context.getImageData(0, 0, canvas.width, canvas.height).data };
  },

  tests: {
    exact: (c, w) => c[0] === w[0] && c[1] === w[1] && c[2] === w[2],
    // The soft-key bar's shades, darker toward its bottom.
    darkGrey: (c) => Math.max(c[0], c[1], c[2]) < 90 && Math.abs(c[0] - c[1]) < 12 &&
      c[2] - c[0] >= 0 && c[2] - c[0] < 16,
    light: (c) => Math.min(c[0], c[1], c[2]) > 220,
    dark100: (c) => Math.max(c[0], c[1], c[2]) < 100,
    dark150: (c) => Math.max(c[0], c[1], c[2]) < 150,
    caption: (c) => c[2] > 150 && c[0] < 100,
    // The score digits' olive shades.
    digit: (c) => c[0] > 50 && Math.abs(c[0] - c[1]) < 30 && c[2] < c[0] - 30,
    menu: (c) => Math.abs(c[0] - 250) <= 4 && Math.abs(c[1] - 250) <= 4 && Math.abs(c[2] - 250) <= 4,
  },

  pixel(x, y) {
    const image = this.image();
    if (!image) return null;
    const i = (y * image.width + x) * 4;
    return [image.data[i], image.data[i + 1], image.data[i + 2]];
  },

  // How many pixels of box [left, top, right, bottom) pass the named test (with `wanted`).
  count(box, test, wanted) {
    const image = this.image();
    if (!image) return 0;
    const [left, top, right, bottom] = box;
    let n = 0;
    for (let y = top; y < bottom; ++y) {
      for (let x = left; x < right; ++x) {
        const i = (y * image.width + x) * 4;
        if (this.tests[test]([image.data[i], image.data[i + 1], image.data[i + 2]], wanted)) ++n;
      }
    }
    return n;
  },

  // The centre of the pixels of exactly `colour`, or null when there are few.
  centroid(colour) {
    const image = this.image();
    if (!image) return null;
    let xs = 0;
    let ys = 0;
    let n = 0;
    for (let i = 0; i < image.data.length; i += 4) {
      if (image.data[i] === colour[0] && image.data[i + 1] === colour[1] && image.data[i + 2] === colour[2]) {
        const p = i / 4;
        xs += p % image.width;
        ys += Math.floor(p / image.width);
        ++n;
      }
    }
    return n >= 20 ? [xs / n, ys / n] : null;
  },

  // The shape of the score digits in a box, as a string to compare.
  digits(box) {
    const image = this.image();
    if (!image) return '';
    const [left, top, right, bottom] = box;
    const cells = [];
    for (let y = top; y < bottom; ++y) {
      for (let x = left; x < right; ++x) {
        const i = (y * image.width + x) * 4;
        if (this.tests.digit([image.data[i], image.data[i + 1], image.data[i + 2]])) cells.push(x + ',' + y);
      }
    }
    return cells.join(' ');
  },

  // The open menu's rectangle [left, top, right, bottom] above the soft keys, or null.
  menuBox(pitchHeight) {
    const image = this.image();
    if (!image) return null;
    const at = (x, y) => {
      const i = (y * image.width + x) * 4;
      return [image.data[i], image.data[i + 1], image.data[i + 2]];
    };
    const rows = [];
    for (let y = 0; y < pitchHeight; ++y) if (this.tests.menu(at(image.width - 20, y))) rows.push(y);
    if (rows.length < 30) return null;
    const columns = [];
    for (let x = 0; x < image.width; ++x) if (this.tests.menu(at(x, rows[0] + 4))) columns.push(x);
    return [columns[0] - 1, rows[0] - 1, columns[columns.length - 1] + 2, rows[rows.length - 1] + 2];
  },
};
