// The bridge's page: everything it shows comes pushed over one WebSocket (/live); the two actions
// are POSTs. No library, no build step, nothing fetched from elsewhere.
'use strict';

const kKeptMessages = 200;  // lines the message list keeps
const kSilenceMs = 5000;    // the bridge pushes its state every second: this long without, it is gone
const kRetryMaxMs = 5000;

const numbers = new Intl.NumberFormat();
const $ = (id) => document.getElementById(id);

// The secret, where the page needs one, came in its address: kept for this tab's requests and
// taken out of the address bar, so a screen shared or a link copied does not show it.
const params = new URLSearchParams(location.search);
if (params.has('token')) {
  sessionStorage.setItem('notecast-token', params.get('token'));
  history.replaceState(null, '', location.pathname);
}
const token = sessionStorage.getItem('notecast-token');
const withToken = (path) => (token ? path + (path.includes('?') ? '&' : '?') +
                             'token=' + encodeURIComponent(token) : path);

let socket = null;
let lastHeard = 0;
let retries = 0;
let paused = false;
let missedWhilePaused = 0;

function setText(id, text) {
  const element = $(id);
  if (element.textContent !== String(text)) element.textContent = text;
}

function tone(state) {
  if (/^(running|open|connected)$/.test(state)) return 'good';
  if (/^(failed|closed|gone|stopped)/.test(state) || state === '') return 'bad';
  return 'warn';
}

function setBadge(id, state) {
  const element = $(id);
  setText(id, state || 'none');
  element.className = 'badge ' + tone(state);
}

function setBridge(kind, text) {
  const banner = $('bridge');
  banner.className = 'bridge ' + kind;
  banner.textContent = text;
  document.body.dataset.bridge = kind;
}

function duration(seconds) {
  const h = Math.floor(seconds / 3600);
  const m = Math.floor(seconds / 60) % 60;
  const s = seconds % 60;
  const two = (n) => String(n).padStart(2, '0');
  return (h > 0 ? h + ':' + two(m) : String(m)) + ':' + two(s);
}

function showHello(hello) {
  setText('project', hello.project);
  setText('version', hello.version);
  setText('mode', hello.mode);
  document.title = 'Notecast ' + hello.project.split('/').pop();
  $('reload').disabled = hello.noReload !== '';
  setText('reload-note', hello.noReload);
}

function showState(state) {
  const dmx = state.dmx;
  setText('dmx-source', dmx.source || 'no DMX input chosen');
  setBadge('dmx-state', dmx.state);
  setText('dmx-frames', numbers.format(dmx.frames));
  setText('dmx-rate', numbers.format(Math.round(dmx.rate)));
  setText('dmx-changes', numbers.format(dmx.changes));
  setText('dmx-last', dmx.lastChannel > 0 ? 'channel ' + dmx.lastChannel + ' = ' + dmx.lastValue : '–');
  setText('dmx-folded', numbers.format(dmx.folded));
  const midi = state.midi || {};
  setText('midi-name', midi.name || 'none chosen');
  setText('midi-own-port', midi.ownPort ? 'from ' + midi.ownPort : '');
  setBadge('midi-state', midi.state || '');
  setText('midi-sent', numbers.format(midi.sent || 0));
  setText('midi-notsent', numbers.format(midi.notSent || 0));
  const list = $('connections');
  const connections = midi.connections || [];
  const text = connections.map((c) => c.port + ' ' + c.state).join('\n');
  if (list.dataset.shown !== text) {
    list.dataset.shown = text;
    list.replaceChildren(...(connections.length ? connections : [null]).map((c) => {
      const item = document.createElement('li');
      if (!c) {
        item.className = 'quiet';
        item.textContent = 'none';
        return item;
      }
      const badge = document.createElement('span');
      badge.className = 'badge ' + tone(c.state);
      badge.textContent = c.state;
      item.append(c.port + ' ', badge);
      return item;
    }));
  }
  setText('running', duration(state.running));
}

function showMessages(batch) {
  if (paused) {
    missedWhilePaused += batch.lines.length + batch.skipped;
    setText('messages-note', 'paused: ' + numbers.format(missedWhilePaused) + ' messages since');
    return;
  }
  const list = $('messages');
  const fragment = document.createDocumentFragment();
  for (const line of batch.lines) {
    const item = document.createElement('li');
    item.textContent = line;
    fragment.append(item);
  }
  if (batch.skipped > 0) {
    const item = document.createElement('li');
    item.className = 'skipped';
    item.textContent = '… ' + numbers.format(batch.skipped) + ' more, too fast to show';
    fragment.append(item);
  }
  list.prepend(fragment);
  while (list.childElementCount > kKeptMessages) list.lastElementChild.remove();
  setText('messages-note', numbers.format(batch.total) + ' sent since the bridge started');
}

function showEvents(events) {
  const list = $('events');
  const fragment = document.createDocumentFragment();
  for (const line of events.lines) {
    const item = document.createElement('li');
    item.textContent = line;
    fragment.append(item);
  }
  list.replaceChildren(fragment);
  setText('events-count', events.lines.length === 1 ? '1 entry' : numbers.format(events.lines.length) + ' entries');
  const commands = $('commands');
  if (events.commands.length === 0) {
    commands.innerHTML = '<p class="quiet">none</p>';
    return;
  }
  commands.replaceChildren(...events.commands.map((command) => {
    const button = document.createElement('button');
    button.type = 'button';
    button.textContent = command.caption;
    button.dataset.event = command.value;
    button.addEventListener('click', () => act('/fire?event=' + encodeURIComponent(command.value)));
    return button;
  }));
}

async function act(path) {
  try {
    const answer = await fetch(withToken(path), {method: 'POST', cache: 'no-store'});
    setText('notice', (await answer.text()).trim());
  } catch (error) {
    setText('notice', 'the bridge did not answer: ' + error.message);
  }
}

const handlers = {
  hello: showHello,
  state: showState,
  messages: showMessages,
  events: showEvents,
  notice: (notice) => setText('notice', notice.text),
};

function connect() {
  const scheme = location.protocol === 'https:' ? 'wss:' : 'ws:';
  socket = new WebSocket(withToken(scheme + '//' + location.host + '/live'));
  socket.onopen = () => {
    retries = 0;
    lastHeard = Date.now();
    setBridge('live', 'watching the bridge');
  };
  socket.onmessage = (event) => {
    lastHeard = Date.now();
    const message = JSON.parse(event.data);
    const handler = handlers[message.type];
    if (handler) handler(message);
  };
  socket.onclose = () => {
    socket = null;
    setBridge('gone', 'The bridge has gone: its page shows the last it knew. Trying to reach it again…');
    setTimeout(connect, Math.min(kRetryMaxMs, 500 * 2 ** retries++));
  };
}

setInterval(() => {
  if (socket && socket.readyState === WebSocket.OPEN && Date.now() - lastHeard > kSilenceMs) socket.close();
}, 1000);

$('pause').addEventListener('click', () => {
  paused = !paused;
  missedWhilePaused = 0;
  $('pause').setAttribute('aria-pressed', String(paused));
  $('pause').textContent = paused ? 'Resume' : 'Pause';
  if (!paused) setText('messages-note', '');
});
$('reload').addEventListener('click', () => act('/reload'));

connect();
