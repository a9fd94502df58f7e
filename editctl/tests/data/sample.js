// Start the page when it has loaded.
function init() {
  var count = 0, name = "it's \"quoted\"";
  /* several
     lines */ count += 42;
  if (count > 10 && window.location) {
    console.log('see https://example.com/docs', `template ${name}`);
  }
  return null; // done
}
