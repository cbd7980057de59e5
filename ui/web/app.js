// The page's side of the calculator: it wires the page's controls to the WebAssembly module
// (WebWindow.cpp), which runs the calculation and the rules every window shares, and offers the
// module what only the page can do (halvernPage). The rules of the window are the module's; the
// page decides only what is the page's own: its layout for touch, a press kept while the module
// loads, and what the bar under the window says then, if it cannot load, and when a new release
// is ready.
'use strict';

(() => {
  const element = (id) => document.getElementById(id);
  const tables = document.querySelector('main').dataset; // written from the control table
  const fields = tables.fields.split(' ');
  const tabChain = tables.tabChain.split(' ').map(element);
  const dialog = element('report');
  let afterReport = null; // gives the report's field the focus once the report is closed

  const focusOn = (control, selectAll) => {
    control.focus();
    if (selectAll) control.select();
  };

  // The layout for touch (page.css), where layout.js chose it before the first paint, or where
  // the browser's minimum font size would cut the window's captions.
  const touch = globalThis.halvernTouch; // layout.js
  const captionsCut = () => [...document.querySelectorAll('#client > span, #client > label, #client > button')]
    .some((e) => e.scrollWidth > e.clientWidth || e.scrollHeight > e.clientHeight);
  const chooseLayout = () => {
    delete document.documentElement.dataset.layout;
    if (touch.matches || captionsCut()) document.documentElement.dataset.layout = 'touch';
  };
  touch.addEventListener('change', chooseLayout);

  const measuring = document.createElement('canvas').getContext('2d');
  const family = getComputedStyle(element('amount')).fontFamily;

  globalThis.halvernPage = {
    text: (name) => element(name).value,
    setText: (name, text) => {
      const field = element(name);
      field.value = text;
      // From its first digit: a long fee must not read as a smaller sum.
      field.setSelectionRange(0, 0);
      field.scrollLeft = 0;
      // Said to a screen reader when it is next quiet, without moving the focus.
      element('announced').textContent = `${field.labels[0].textContent} ${text}`;
    },
    report: (isError, words, fieldName, selectField) => {
      element('report-text').textContent = words; // never markup: it quotes what was typed
      dialog.dataset.kind = isError ? 'error' : 'warning';
      afterReport = fieldName ? () => focusOn(element(fieldName), selectField) : null;
      dialog.showModal(); // closed, it gives the focus back where it was, then to the field
    },
    // As the browser's own typing, so that Ctrl+Z takes it back as one edit, as on the desktop.
    insert: (name, text) => {
      const field = element(name);
      field.focus();
      if (!document.execCommand('insertText', false, text)) {
        field.setRangeText(text, field.selectionStart, field.selectionEnd, 'end');
      }
    },
    setFontSizes: (captions, fields, button) => {
      const root = document.documentElement.style;
      root.setProperty('--caption-size', `${captions}px`);
      root.setProperty('--field-size', `${fields}px`);
      root.setProperty('--button-size', `${button}px`);
    },
    measure: (size, text) => {
      measuring.font = `${size}px ${family}`;
      const metrics = measuring.measureText(text || 'Hg');
      const height = metrics.fontBoundingBoxAscent + metrics.fontBoundingBoxDescent;
      return {
        width: text ? Math.ceil(metrics.width) : 0,
        height: Math.ceil(Number.isFinite(height) ? height : size * 1.2),
      };
    },
  };

  // A dialog gives the focus back before its close event, so a focus asked for comes after.
  dialog.addEventListener('close', () => {
    const then = afterReport;
    afterReport = null;
    if (then) then();
  });
  element('report-ok').addEventListener('click', () => dialog.close());

  // Tab and Shift+Tab go round the calculator's chain and never leave it. WebKitGTK names
  // Shift+Tab's key "Unidentified" (the keyboard's left tab), so the key's place counts too.
  document.addEventListener('keydown', (event) => {
    if ((event.key !== 'Tab' && event.code !== 'Tab') || dialog.open) return;
    const at = tabChain.indexOf(document.activeElement);
    const step = event.shiftKey ? tabChain.length - 1 : 1;
    const next = tabChain[at < 0 ? 0 : (at + step) % tabChain.length];
    event.preventDefault();
    focusOn(next, next.tagName === 'INPUT');
    // As the desktop shows its focus cues once the keyboard moves the focus, until a click; some
    // browsers leave a focus moved by script unmarked.
    document.body.dataset.keyboard = '';
  });
  document.addEventListener('pointerdown', () => delete document.body.dataset.keyboard);

  // The window says in words what keeps it from working, and offers nothing to press meanwhile.
  const status = element('status');
  const unavailable = () => {
    status.textContent = 'The calculator could not load here. Check the connection, or try '
      + 'another browser, and reload the page.';
    document.querySelectorAll('#client input, #client button').forEach((c) => { c.disabled = true; });
  };
  // The button can be pressed from the start: a press made while the calculation loads is kept,
  // and runs once it has (the bar says meanwhile that it is loading).
  const button = element('Command1');
  let pressedWhileLoading = false;
  let press = () => { pressedWhileLoading = true; };
  button.addEventListener('click', () => press());
  button.disabled = false;
  performance.mark('ready-to-press');
  tabChain[0].focus();

  let loading;
  try {
    loading = typeof WebAssembly === 'object' ? createHalvern() : Promise.reject();
  } catch (error) {
    loading = Promise.reject(error); // no module script at all
  }
  // Set up fails as loading does: a module that came but cannot run leaves nothing to wait for.
  const ready = loading.then((module) => {
    const utf16 = (text) => {
      const bytes = (text.length + 1) * 2;
      const pointer = module._malloc(bytes);
      module.stringToUTF16(text, pointer, bytes);
      return pointer;
    };

    // The decimal mark of the language the person writes in: the first of the browser's
    // languages that Intl knows; read at each key, as the person may change them meanwhile.
    const decimalMark = () => {
      const [language] = Intl.NumberFormat.supportedLocalesOf(navigator.languages || []);
      const mark = new Intl.NumberFormat(language || []).formatToParts(0.5).find((p) => p.type === 'decimal');
      return mark && mark.value.length === 1 ? mark.value.charCodeAt(0) : 0;
    };
    let keypadDecimalKey = false;

    fields.forEach((name, index) => {
      const field = element(name);
      const selected = () => field.selectionEnd - field.selectionStart;
      // Pastes go to the module, which weighs them and puts in what a paste puts in, or leaves
      // the browser's own paste to do it where that is the same.
      field.addEventListener('paste', (event) => {
        const text = event.clipboardData.getData('text/plain');
        const pointer = utf16(text);
        if (!module._halvern_paste(index, pointer, text.length, field.value.length, selected())) {
          event.preventDefault();
        }
        module._free(pointer);
      });
      field.addEventListener('drop', (event) => {
        const text = event.dataTransfer.getData('text/plain');
        if (!module._halvern_edit(index, field.value.length, 0, text.length, 0)) event.preventDefault();
      });
      // The key itself, whatever character the keyboard layout gives it: the character comes
      // in the input event that follows.
      field.addEventListener('keydown', (event) => { keypadDecimalKey = event.code === 'NumpadDecimal'; });
      field.addEventListener('beforeinput', (event) => {
        const keypad = keypadDecimalKey;
        keypadDecimalKey = false;
        if (!event.inputType.startsWith('insert') || event.data === null) return;
        if (!module._halvern_edit(index, field.value.length, selected(), event.data.length, 1)) {
          event.preventDefault();
          return;
        }
        if (event.inputType !== 'insertText' || event.data.length !== 1) return;
        const kept = field.value.slice(0, field.selectionStart) + field.value.slice(field.selectionEnd);
        const pointer = utf16(kept);
        const typed = module._halvern_typed(event.data.charCodeAt(0), keypad, decimalMark(), pointer,
          kept.length);
        module._free(pointer);
        if (typed !== event.data.charCodeAt(0)) {
          event.preventDefault();
          document.execCommand('insertText', false, String.fromCharCode(typed));
        }
      });
      // Enter in a field presses nothing; it is no form to submit.
    });

    // What the fields' and the button's frames take of their boxes, across and down (page.css).
    const frame = (name, side) => {
      const style = getComputedStyle(element(name));
      return Math.ceil(2 * ((parseFloat(style[`border${side}Width`]) || 0) + (parseFloat(style[`padding${side}`]) || 0)));
    };
    module._halvern_fit_fonts(
      Math.round(parseFloat(getComputedStyle(document.documentElement).fontSize)),
      frame('amount', 'Left'), frame('Command1', 'Left'), frame('Command1', 'Top'));
    chooseLayout();

    if (!status.dataset.said) status.hidden = true; // what the bar says besides stays
    document.body.dataset.ready = 'true';
    performance.mark('calculator-ready');
    press = () => module._halvern_press();
    if (pressedWhileLoading) press();
  });
  ready.catch(unavailable);

  // Offline use, where the browser keeps the page's files; where it will not, the user is told.
  // A release published while the page is open takes over the worker: the page offers it.
  const say = (words, offer) => {
    status.dataset.said = 'true';
    status.hidden = false;
    status.textContent = words;
    if (offer) {
      const button = document.createElement('button');
      button.type = 'button';
      button.textContent = offer;
      button.addEventListener('click', () => location.reload());
      status.append(' ', button);
    }
  };
  const offlineRefused = () => say('This browser keeps no copy of the calculator here: it works while online.');
  if (location.protocol !== 'file:') {
    if (!('serviceWorker' in navigator)) {
      ready.then(offlineRefused, () => {});
    } else {
      const worker = navigator.serviceWorker;
      const url = globalThis.trustedTypes
        ? trustedTypes.createPolicy('halvern', { createScriptURL: (u) => u }).createScriptURL('sw.js')
        : 'sw.js';
      const updating = worker.controller !== null;
      worker.addEventListener('controllerchange', () => {
        if (updating) say('A new version of the calculator is ready.', 'Reload');
      });
      worker.register(url).then((registration) => {
        // A page left open looks for a new release whenever it is shown again.
        document.addEventListener('visibilitychange', () => {
          if (document.visibilityState === 'visible') registration.update().catch(() => {});
        });
      }, () => ready.then(offlineRefused, () => {}));
    }
  }
})();
