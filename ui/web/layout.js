// Chooses the page's layout before it is first drawn, so that it never jumps: the one for touch
// where the pointer is coarse or the viewport is narrower than the window with its captions at
// 16 px (560 px). app.js follows the choice as the viewport changes.
'use strict';
globalThis.halvernTouch = matchMedia('(pointer: coarse), (max-width: 560px)');
if (halvernTouch.matches) document.documentElement.dataset.layout = 'touch';
