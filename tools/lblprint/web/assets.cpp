#include "assets.h"

namespace lblweb {

namespace {

const char kCss[] = R"css(
.lbl { max-width: 46rem; margin: 1rem 0; font-size: 0.95rem; }
.lbl h2 { margin: 0 0 .75rem; font-size: 1.25rem; }
.lbl-sheet { border: 1px solid #c8c8c8; border-radius: 6px; padding: 1rem 1.25rem; background: #fff; }
.lbl-trail { margin: 0 0 .25rem; color: #666; font-size: .85rem; }
.lbl-tabs { display: flex; flex-wrap: wrap; gap: 2px; border-bottom: 1px solid #c8c8c8; margin-bottom: .75rem; }
.lbl-tabs button { border: 1px solid #c8c8c8; border-bottom: none; background: #f0f0f0; padding: .35rem .8rem;
  border-radius: 5px 5px 0 0; cursor: pointer; margin: 0; font: inherit; color: #222; }
.lbl-tabs button.lbl-active { background: #fff; font-weight: 600; position: relative; top: 1px; }
.lbl-page { min-height: 12rem; }
.lbl-row, .lbl-item { display: flex; align-items: center; flex-wrap: wrap; gap: .5rem; margin: .4rem 0; }
.lbl-item { padding-left: calc(var(--level, 0) * 1.25rem); }
.lbl-heading { margin: .9rem 0 .3rem; font-size: 1rem; padding-left: calc(var(--level, 0) * 1.25rem); }
.lbl-caption { min-width: 9rem; }
.lbl-item .lbl-caption { min-width: 14rem; }
.lbl-group { border: 1px solid #d8d8d8; border-radius: 5px; margin: .6rem 0; padding: .3rem .8rem .5rem; }
.lbl-group legend { font-weight: 600; padding: 0 .3rem; }
.lbl-slider { width: 14rem; }
.lbl-static { min-width: 4rem; }
.lbl-static:empty { min-width: 0; }
.lbl-updown { display: inline-flex; flex-direction: column; }
.lbl-updown button { font-size: .6rem; line-height: 1.1; padding: 1px 7px; border-radius: 3px; margin: 0; cursor: pointer; }
.lbl input[type=text], .lbl input[type=number], .lbl select { font: inherit; padding: .2rem .3rem; }
.lbl select { min-width: 9rem; appearance: auto; background: #fff; color: #222; border: 1px solid #aaa;
  border-radius: 3px; height: auto; }
.lbl select[size] { min-width: 16rem; }
.lbl-actions { display: flex; gap: .5rem; justify-content: flex-end; margin-top: 1rem; }
.lbl-actions button, .lbl-row > button, .lbl-ext, .lbl-item > button { font: inherit; padding: .3rem .9rem; cursor: pointer; }
.lbl-sheet-buttons { border-top: 1px solid #e2e2e2; padding-top: .75rem; }
.lbl-default { position: absolute; left: -10000px; width: 1px; height: 1px; overflow: hidden; }
.lbl-error { background: #fdecea; color: #8a1c12; border: 1px solid #f3b7ae; padding: .5rem .75rem; border-radius: 5px; }
.lbl-note, .lbl-outcome { background: #eef5fd; color: #17426b; border: 1px solid #b9d4f0; padding: .5rem .75rem; border-radius: 5px; }
.lbl-backdrop { position: fixed; inset: 0; background: rgba(0,0,0,.35); display: flex; align-items: center;
  justify-content: center; z-index: 100; }
.lbl-dialog { background: #fff; border-radius: 8px; padding: 1rem 1.25rem; min-width: 20rem; max-width: 34rem;
  box-shadow: 0 10px 30px rgba(0,0,0,.3); }
.lbl-dialog h3 { margin: 0 0 .5rem; font-size: 1.05rem; }
.lbl-message { white-space: normal; line-height: 1.4; }
.lbl [inert] { opacity: .6; }
)css";

const char kJs[] = R"js(
// Keeps the page in step with the sheet: sliders ask the sheet for their value
// text as they move, choices and check boxes are sent as soon as they change.
(() => {
  let busy = false, pending = null;

  function root() { return document.getElementById('lbl-root'); }

  async function send(whole) {
    const form = document.getElementById('lbl-form');
    if (!form) return;
    const body = new URLSearchParams(new FormData(form));
    body.set('do', '');
    const reply = await fetch(form.action, {
      method: 'POST', body: body.toString(), credentials: 'same-origin',
      headers: { 'Content-Type': 'application/x-www-form-urlencoded' },
    });
    const fresh = new DOMParser().parseFromString(await reply.text(), 'text/html').getElementById('lbl-root');
    if (!fresh) { location.reload(); return; }
    const old = root();
    const reshaped = fresh.querySelector('.lbl-backdrop, .lbl-error, .lbl-outcome') ||
      (fresh.querySelector('.lbl-page') || {}).dataset?.template !== (old.querySelector('.lbl-page') || {}).dataset?.template;
    if (whole || reshaped) {
      const focused = document.activeElement && document.activeElement.id;
      old.replaceWith(document.adoptNode(fresh));
      if (focused && document.getElementById(focused)) document.getElementById(focused).focus();
      return;
    }
    // While a slider moves only the sheet's texts and the view's serial are taken.
    for (const text of fresh.querySelectorAll('.lbl-static[id]')) {
      const mine = document.getElementById(text.id);
      if (mine) mine.textContent = text.textContent;
    }
    old.querySelector('input[name=serial]').value = fresh.querySelector('input[name=serial]').value;
    old.dataset.serial = fresh.dataset.serial;
    const note = fresh.querySelector('.lbl-note'), oldNote = old.querySelector('.lbl-note');
    if (oldNote) oldNote.remove();
    if (note) old.prepend(document.adoptNode(note));
  }

  async function run(whole) {
    if (busy) { pending = pending || whole ? true : false; return; }
    busy = true;
    try { await send(whole); } finally { busy = false; }
    if (pending !== null) { const w = pending; pending = null; run(w); }
  }

  document.addEventListener('input', (e) => {
    if (e.target.matches && e.target.matches('#lbl-form input[type=range]')) run(false);
  });
  document.addEventListener('change', (e) => {
    const t = e.target;
    if (!t.matches || !t.closest('#lbl-form')) return;
    if (t.matches('input[type=range], select, input[type=checkbox], input[type=radio]')) run(true);
  });
})();
)js";

}  // namespace

void AddAssets(pappl_system_t* system)
{
    papplSystemAddResourceString(system, kAssetCssPath, "text/css", kCss);
    papplSystemAddResourceString(system, kAssetJsPath, "text/javascript", kJs);
}

}  // namespace lblweb
