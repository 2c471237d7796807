// The gallery page's script, plain JavaScript that needs nothing beyond the page: each canvas
// carries its picture's indices (data-pixels) and each palette option its 256 colours
// (data-colours), both base64; choosing an option draws every canvas in its colours.
#include "gallery.h"

namespace vex {

const char* const GalleryScript = R"js((function () {
  'use strict';
  function bytes(base64) {
    var text = atob(base64), out = new Uint8Array(text.length);
    for (var i = 0; i < text.length; i++) out[i] = text.charCodeAt(i);
    return out;
  }
  var select = document.getElementById('palette');
  var command = document.getElementById('command');
  var canvases = Array.prototype.slice.call(document.querySelectorAll('canvas[data-member]'));
  // Decoded once: a change of palette only looks colours up.
  var pictures = canvases.map(function (canvas) {
    return bytes(canvas.getAttribute('data-pixels'));
  });
  function draw() {
    var option = select.options[select.selectedIndex];
    var rgb = bytes(option.getAttribute('data-colours'));
    // One 32-bit word per index, in the byte order ImageData's array has on this machine.
    var words = new Uint32Array(256), probe = new Uint8Array(words.buffer);
    for (var c = 0; c < 256; c++) {
      probe.set([rgb[3 * c], rgb[3 * c + 1], rgb[3 * c + 2], 255], 4 * c);
    }
    canvases.forEach(function (canvas, n) {
      if (canvas.width === 0 || canvas.height === 0) return;
      var context = canvas.getContext('2d');
      var image = context.createImageData(canvas.width, canvas.height);
      var out = new Uint32Array(image.data.buffer), indices = pictures[n];
      for (var i = 0; i < indices.length; i++) out[i] = words[indices[i]];
      context.putImageData(image, 0, 0);
    });
    command.textContent = option.getAttribute('data-command');
  }
  select.addEventListener('change', draw);
  draw();
})();
)js";

} // namespace vex
