// Run by the browser view on the media and Flash wrapper pages once they are
// parsed. The page itself is left as it was written; this script puts an HTML5
// player in place of the Windows Media Player object, starts the Flash
// emulator for the Flash object, and otherwise shows a plain notice.
(function (config) {
  'use strict';
  var MEDIA_PLAYER = 'clsid:22d6f312-b0f6-11d0-94ab-0080c74c7e95';
  var FLASH_PLAYER = 'clsid:d27cdb6e-ae6d-11cf-96b8-444553540000';
  // Extensions the web view plays, with the element and type to ask for.
  var PLAYABLE = {
    mp3: ['audio', 'audio/mpeg'], mpa: ['audio', 'audio/mpeg'], mp2: ['audio', 'audio/mpeg'],
    wav: ['audio', 'audio/wav'], ogg: ['audio', 'audio/ogg'], oga: ['audio', 'audio/ogg'],
    flac: ['audio', 'audio/flac'], aac: ['audio', 'audio/aac'], m4a: ['audio', 'audio/mp4'],
    mp4: ['video', 'video/mp4'], m4v: ['video', 'video/mp4'], mov: ['video', 'video/mp4'],
    qt: ['video', 'video/mp4'], webm: ['video', 'video/webm'], ogv: ['video', 'video/ogg']
  };

  function classOf(element) {
    return (element.getAttribute('classid') || '').trim().toLowerCase();
  }

  function paramOf(object, name) {
    var params = object.getElementsByTagName('param');
    for (var i = 0; i < params.length; ++i) {
      if ((params[i].getAttribute('name') || '').toLowerCase() === name) {
        return params[i].getAttribute('value') || '';
      }
    }
    return '';
  }

  function typeOf(fileName) {
    var dot = fileName.lastIndexOf('.');
    return dot < 0 ? '' : fileName.substring(dot + 1).toLowerCase();
  }

  function notice(fileName) {
    var type = typeOf(fileName).toUpperCase();
    var box = document.createElement('div');
    box.id = 'quillon-notice';
    box.setAttribute('role', 'note');
    box.style.cssText = 'font: 14px sans-serif; color: #222; background: #f4f4f4; ' +
        'border: 1px solid #bbb; padding: 12px; margin: 8px; max-width: 520px;';
    var title = document.createElement('div');
    title.style.fontWeight = 'bold';
    title.textContent = fileName + (type ? ' (' + type + ' file)' : '');
    var text = document.createElement('div');
    text.style.marginTop = '6px';
    text.textContent = 'The preview cannot play this file. Save it and open it with a player ' +
        'that knows this type.';
    box.appendChild(title);
    box.appendChild(text);
    return box;
  }

  function showNotice(element, fileName) {
    if (element.parentNode) element.parentNode.replaceChild(notice(fileName), element);
  }

  function replaceMediaPlayer(object) {
    var fileName = paramOf(object, 'filename');
    var kind = PLAYABLE[typeOf(fileName)];
    var probe = kind ? document.createElement(kind[0]) : null;
    if (!kind || !probe.canPlayType(kind[1])) {
      showNotice(object, fileName);
      return;
    }
    var player = probe;
    player.id = 'quillon-player';
    player.controls = true;
    player.autoplay = true;
    player.style.width = (object.getAttribute('width') || 320) + 'px';
    if (kind[0] === 'video') player.style.height = (object.getAttribute('height') || 240) + 'px';
    player.addEventListener('error', function () { showNotice(player, fileName); });
    player.src = fileName;
    object.parentNode.replaceChild(player, object);
  }

  // The web view's fetch() reaches no scheme of a program's own; the
  // emulator fetches its parts and the movie, so for addresses of the
  // preview scheme the same request is made with XMLHttpRequest.
  function fetchThroughRequests() {
    var plainFetch = window.fetch;
    window.fetch = function (input, init) {
      var url = new URL(typeof input === 'string' ? input : (input.url || String(input)),
                        document.baseURI);
      if (url.protocol !== config.scheme + ':') return plainFetch.apply(this, arguments);
      return new Promise(function (resolve, reject) {
        var request = new XMLHttpRequest();
        request.open('GET', url.href);
        request.responseType = 'arraybuffer';
        request.onload = function () {
          if (!request.response) { reject(new TypeError('Failed to fetch')); return; }
          var type = /\.wasm$/.test(url.pathname) ? 'application/wasm'
              : (request.getResponseHeader('Content-Type') || 'application/octet-stream');
          resolve(new Response(request.response, { status: 200, headers: { 'Content-Type': type } }));
        };
        request.onerror = function () { reject(new TypeError('Failed to fetch')); };
        request.send();
      });
    };
  }

  function startFlash(object) {
    var embed = object.getElementsByTagName('embed')[0];
    var fileName = paramOf(object, 'movie') || (embed && embed.getAttribute('src')) || '';
    if (!config.ruffle) {
      showNotice(object, fileName);
      return;
    }
    fetchThroughRequests();
    window.RufflePlayer = window.RufflePlayer || {};
    window.RufflePlayer.config = {
      autoplay: 'on', unmuteOverlay: 'hidden', letterbox: 'on', splashScreen: false,
      warnOnUnsupportedContent: false, showSwfDownload: false, contextMenu: 'off',
      allowNetworking: 'none', openUrlMode: 'deny', allowScriptAccess: false,
      publicPath: config.rufflePath
    };
    var script = document.createElement('script');
    script.src = config.ruffle;
    script.addEventListener('error', function () { showNotice(object, fileName); });
    document.head.appendChild(script);
  }

  var objects = Array.prototype.slice.call(document.getElementsByTagName('object'));
  objects.forEach(function (object) {
    var id = classOf(object);
    if (id === MEDIA_PLAYER) replaceMediaPlayer(object);
    else if (id === FLASH_PLAYER) startFlash(object);
  });
})
